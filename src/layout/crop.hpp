#pragma once

#include <cstdint>

#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"
#include "base/options.hpp"

namespace vedad {

// Cuts the image down to the text extent, keeping its top-left corner and the lowest row's
// descent below its baseline. An extent with no width or no height leaves the image whole.
void crop_to_text(const Options& options, Canvas& canvas, const TextExtent& extent);

}  // namespace vedad
