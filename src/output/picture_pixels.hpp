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

// The part of an image a picture is made of: its top-left `width` by `height` pixels.
struct PictureArea {
    gdImagePtr image = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

inline PictureArea whole_image(gdImagePtr image)
{
    return PictureArea{image, image != nullptr ? gdImageSX(image) : 0, image != nullptr ? gdImageSY(image) : 0};
}

// A true-colour image holding an area of at least one pixel.
inline bool is_drawable_area(const PictureArea& area)
{
    return area.image != nullptr && area.image->trueColor && area.width >= 1 && area.height >= 1 &&
           area.width <= gdImageSX(area.image) && area.height <= gdImageSY(area.image);
}

inline Rgba rgba_of(int pixel, bool keep_alpha)
{
    const int alpha = gdTrueColorGetAlpha(pixel);
    return Rgba{static_cast<uint8_t>(gdTrueColorGetRed(pixel)), static_cast<uint8_t>(gdTrueColorGetGreen(pixel)),
                static_cast<uint8_t>(gdTrueColorGetBlue(pixel)),
                static_cast<uint8_t>(keep_alpha ? 255 - ((alpha << 1) + (alpha >> 6)) : 255)};
}

}  // namespace vedad
