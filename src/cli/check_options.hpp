#pragma once

#include <cstdint>

#include "canvas/canvas.hpp"
#include "base/options.hpp"

namespace vedad {

// The smallest font size accepted: the single-precision value nearest 0.0001.
inline constexpr double FONT_SIZE_THRESHOLD = static_cast<double>(0.0001f);

// Applies --silent, then ends the run when there is no operand, the image size is below 1,
// or the font size is too small.
void check_options(Options& options, const Canvas& canvas, int32_t operand_count);

// Turns the layout options into the sizes the pages use: with --fit and no size given the
// canvas may grow to FIT_LIMIT on each side, and --scale multiplies the canvas size, the
// margin and the point size.
void apply_layout(Options& options, Canvas& canvas);

}  // namespace vedad
