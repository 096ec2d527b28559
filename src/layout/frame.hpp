#pragma once

#include "base/options.hpp"
#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"

namespace vedad {

// Makes the drawn page the picture: says how much text the canvas cut, cuts the image down
// to the text unless --no-crop, and adds the margin.
void frame_picture(const Options& options, Canvas& canvas, TextExtent& extent);

}  // namespace vedad
