#pragma once

#include <cstdint>

#include "canvas/canvas.hpp"
#include "cli/options.hpp"

namespace vedad {

// Cuts the image down to the text extent, keeping its top-left corner. An extent with no
// width or no height leaves the image whole.
void crop_to_text(const Options& options, Canvas& canvas, int32_t extent_x, int32_t extent_y);

}  // namespace vedad
