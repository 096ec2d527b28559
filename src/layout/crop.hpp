#pragma once

#include <cstdint>

#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"
#include "layout/fit.hpp"
#include "base/options.hpp"

namespace vedad {

// Cuts the image down to the text extent, keeping its top-left corner and the lowest row's
// descent below its baseline. An extent with no width or no height leaves the image whole.
// Returns the picture's size; `copy` false leaves the image as it is, for a picture written
// straight from its top-left part.
CanvasSize crop_to_text(const Options& options, Canvas& canvas, const TextExtent& extent, bool copy = true);

}  // namespace vedad
