#pragma once

#include <cstdint>

namespace vedad {

// A colour as every part of the program holds it: read from a colour text or an escape
// sequence, kept in a terminal cell, and handed to the canvas.
struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    bool operator==(const Rgb&) const = default;
};

// The colour written as 0xRRGGBB, as palettes are published.
constexpr Rgb rgb_of_hex(uint32_t hex)
{
    return Rgb{static_cast<uint8_t>(hex >> 16), static_cast<uint8_t>(hex >> 8), static_cast<uint8_t>(hex)};
}

// The colour as 0xRRGGBB.
constexpr uint32_t hex_of_rgb(const Rgb& rgb)
{
    return uint32_t{rgb.r} << 16 | uint32_t{rgb.g} << 8 | rgb.b;
}

}  // namespace vedad
