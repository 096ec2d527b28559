#pragma once

#include <gd.h>

#include "output/encode_png.hpp"

namespace vedad {

// The image as a lossless WebP: decoded, exactly the pixels of its PNG, alpha included (and
// the colours under transparent pixels kept); opaque when the image keeps no alpha.
EncodedPicture encode_webp(gdImagePtr image);

}  // namespace vedad
