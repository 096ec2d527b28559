#pragma once

#include "base/options.hpp"

namespace vedad {

// Settles the picture's size once the options are known: --fit without a size takes the
// largest canvas as its limit. The size stays that of the picture at scale 1: --scale
// multiplies the finished picture's layout (see convert_file).
void apply_layout(Options& options);

}  // namespace vedad
