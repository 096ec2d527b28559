#include "readers/terminal/ansi_colors.hpp"

#include <array>
#include <cstddef>

namespace vedad {

namespace {

constexpr std::array<Rgb, 16> BASIC_COLORS = {
    rgb_of_hex(0x000000), rgb_of_hex(0xcd0000), rgb_of_hex(0x00cd00), rgb_of_hex(0xcdcd00),
    rgb_of_hex(0x0000ee), rgb_of_hex(0xcd00cd), rgb_of_hex(0x00cdcd), rgb_of_hex(0xe5e5e5),
    rgb_of_hex(0x7f7f7f), rgb_of_hex(0xff0000), rgb_of_hex(0x00ff00), rgb_of_hex(0xffff00),
    rgb_of_hex(0x5c5cff), rgb_of_hex(0xff00ff), rgb_of_hex(0x00ffff), rgb_of_hex(0xffffff),
};

constexpr std::array<uint8_t, 6> CUBE_LEVELS = {0, 95, 135, 175, 215, 255};

}  // namespace

Rgb palette_color(int index)
{
    if (index < 16) return BASIC_COLORS[static_cast<size_t>(index)];
    if (index < 232) {
        const int cube = index - 16;
        return Rgb{CUBE_LEVELS[static_cast<size_t>(cube / 36)], CUBE_LEVELS[static_cast<size_t>(cube / 6 % 6)],
                   CUBE_LEVELS[static_cast<size_t>(cube % 6)]};
    }
    const auto grey = static_cast<uint8_t>(8 + 10 * (index - 232));
    return Rgb{grey, grey, grey};
}

Rgb faint_color(Rgb color)
{
    return Rgb{static_cast<uint8_t>(color.r >> 1), static_cast<uint8_t>(color.g >> 1), static_cast<uint8_t>(color.b >> 1)};
}

}  // namespace vedad
