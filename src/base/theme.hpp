#pragma once

#include <array>

#include "base/rgb.hpp"

namespace vedad {

// The 16 basic colours of terminal output: black, red, green, yellow, blue, magenta, cyan and
// white (0-7), then their bright forms (8-15), which bold text takes.
using BasicColors = std::array<Rgb, 16>;

// xterm's basic colours, which terminal output is drawn in unless a theme says otherwise.
inline constexpr BasicColors XTERM_BASIC_COLORS = {
    rgb_of_hex(0x000000), rgb_of_hex(0xcd0000), rgb_of_hex(0x00cd00), rgb_of_hex(0xcdcd00),
    rgb_of_hex(0x0000ee), rgb_of_hex(0xcd00cd), rgb_of_hex(0x00cdcd), rgb_of_hex(0xe5e5e5),
    rgb_of_hex(0x7f7f7f), rgb_of_hex(0xff0000), rgb_of_hex(0x00ff00), rgb_of_hex(0xffff00),
    rgb_of_hex(0x5c5cff), rgb_of_hex(0xff00ff), rgb_of_hex(0x00ffff), rgb_of_hex(0xffffff),
};

// The colours a theme sets: the basic colours of terminal output and a page's default text
// and background colours. The defaults are the program's own: xterm's colours, white on black.
struct Theme {
    BasicColors basic = XTERM_BASIC_COLORS;
    Rgb foreground = rgb_of_hex(0xffffff);
    Rgb background = rgb_of_hex(0x000000);

    bool operator==(const Theme&) const = default;
};

}  // namespace vedad
