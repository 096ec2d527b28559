#pragma once

#include <cstdint>

#include "base/options.hpp"

namespace vedad {

// The smallest font size accepted: the single-precision value nearest 0.0001.
inline constexpr double FONT_SIZE_THRESHOLD = static_cast<double>(0.0001f);

// Applies --silent, then ends the run when there is no operand, the image size is below 1,
// or the font size is too small.
void check_options(Options& options, int32_t operand_count);

}  // namespace vedad
