#include "readers/terminal/ansi_colors.hpp"

#include <array>
#include <cstddef>

namespace vedad {

namespace {

constexpr std::array<PackedRgb, 16> BASIC_COLORS = {
    0x000000, 0xcd0000, 0x00cd00, 0xcdcd00, 0x0000ee, 0xcd00cd, 0x00cdcd, 0xe5e5e5,
    0x7f7f7f, 0xff0000, 0x00ff00, 0xffff00, 0x5c5cff, 0xff00ff, 0x00ffff, 0xffffff,
};

constexpr std::array<uint32_t, 6> CUBE_LEVELS = {0, 95, 135, 175, 215, 255};

constexpr PackedRgb packed(uint32_t r, uint32_t g, uint32_t b)
{
    return (r << 16) | (g << 8) | b;
}

}  // namespace

PackedRgb pack_rgb(const Rgb& rgb)
{
    return packed(static_cast<uint32_t>(rgb.r) & 0xff, static_cast<uint32_t>(rgb.g) & 0xff,
                  static_cast<uint32_t>(rgb.b) & 0xff);
}

Rgb unpack_rgb(PackedRgb color)
{
    return Rgb{static_cast<int32_t>((color >> 16) & 0xff), static_cast<int32_t>((color >> 8) & 0xff),
               static_cast<int32_t>(color & 0xff)};
}

PackedRgb palette_color(int index)
{
    if (index < 16) return BASIC_COLORS[static_cast<size_t>(index)];
    if (index < 232) {
        const int cube = index - 16;
        return packed(CUBE_LEVELS[static_cast<size_t>(cube / 36)], CUBE_LEVELS[static_cast<size_t>(cube / 6 % 6)],
                      CUBE_LEVELS[static_cast<size_t>(cube % 6)]);
    }
    const uint32_t grey = 8 + 10 * static_cast<uint32_t>(index - 232);
    return packed(grey, grey, grey);
}

PackedRgb faint_color(PackedRgb color)
{
    return (color >> 1) & 0x7f7f7f;
}

}  // namespace vedad
