#pragma once

#include <string_view>

#include "themes/theme_colors.hpp"

namespace vedad {

// Reads a Windows Terminal colour scheme: a JSON object whose members black, red, green,
// yellow, blue, purple, cyan, white, their bright forms (brightBlack ... brightWhite),
// foreground and background are colours "#rrggbb"; other members (name, cursorColor, ...) are
// passed over. Comments are allowed, as the terminal's own settings allow them.
ThemeReading read_windows_terminal_scheme(std::string_view text);

}  // namespace vedad
