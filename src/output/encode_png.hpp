#pragma once

#include <cstddef>
#include <vector>

#include <gd.h>

#include "output/picture_pixels.hpp"

namespace vedad {

// A picture encoded in memory, so that an encoder failure is seen before any file is
// touched, and the extension its files are named with.
struct EncodedPicture {
    std::vector<unsigned char> bytes;  // empty when the image could not be encoded
    const char* extension = ".png";
};

// The image as a PNG in the smallest form that holds its pixels exactly (a small palette,
// grey, a palette, or RGB; with alpha where the image keeps its alpha and a pixel is not
// opaque), unfiltered. Decoded, its pixels are those libgd's own PNG of the image gives.
EncodedPicture encode_png(gdImagePtr image);
// Of the area alone: the picture cropped without a copy. A picture of up to `most_at_once`
// bytes of rows is compressed whole, which is faster and smaller; a larger one row by row, in
// memory for a few rows.
inline constexpr size_t PNG_BYTES_AT_ONCE = size_t{16} << 20;
EncodedPicture encode_png(const PictureArea& area, size_t most_at_once = PNG_BYTES_AT_ONCE);

// libgd's own PNG of the image: RGB, or RGBA when the image keeps its alpha. The reference the
// encoder is tested against.
EncodedPicture encode_png_with_libgd(gdImagePtr image);

}  // namespace vedad
