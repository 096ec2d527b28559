#include "readers/terminal/ansi_colors.hpp"

#include <array>
#include <cstddef>

namespace vedad {

namespace {

constexpr std::array<uint8_t, 6> CUBE_LEVELS = {0, 95, 135, 175, 215, 255};

}  // namespace

Rgb palette_color(const BasicColors& basic, int index)
{
    if (index < 16) return basic[static_cast<size_t>(index)];
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
