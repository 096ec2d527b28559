#pragma once

#include <gd.h>

#include "base/options.hpp"
#include "output/encode_png.hpp"

namespace vedad {

// The form the run's pictures take: --type= when given, else the one an --output= file name's
// extension names (.png, .webp, .svg, .gif, in any case), else PNG.
PictureType picture_type(const Options& options);

// ".png", ".webp", ".svg" or ".gif": what default names end in.
const char* picture_extension(PictureType type);

// The image encoded in memory in `type`'s form (PNG, WebP or a GIF of one frame); no bytes
// when it cannot be.
EncodedPicture encode_picture(const PictureArea& area, PictureType type);

}  // namespace vedad
