#pragma once

#include <cstdint>

#include <gd.h>

namespace vedad {

// A pixel as a picture file holds it: red, green, blue and 8-bit alpha, as libgd writes them
// (its 7-bit alpha, 127 transparent, widened). Without `keep_alpha` every pixel is opaque.
struct Rgba {
    uint8_t r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

inline Rgba rgba_of(int pixel, bool keep_alpha)
{
    const int alpha = gdTrueColorGetAlpha(pixel);
    return Rgba{static_cast<uint8_t>(gdTrueColorGetRed(pixel)), static_cast<uint8_t>(gdTrueColorGetGreen(pixel)),
                static_cast<uint8_t>(gdTrueColorGetBlue(pixel)),
                static_cast<uint8_t>(keep_alpha ? 255 - ((alpha << 1) + (alpha >> 6)) : 255)};
}

}  // namespace vedad
