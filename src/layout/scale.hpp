#pragma once

#include "base/options.hpp"

namespace vedad {

// Settles the picture's size once the options are known: --fit without a size takes the
// largest canvas as its limit, and --scale multiplies the canvas, the margin and the point
// size.
void apply_layout(Options& options);

}  // namespace vedad
