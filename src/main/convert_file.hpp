#pragma once

#include "canvas/canvas.hpp"
#include "base/options.hpp"

namespace vedad {

// Turns one operand ("-" for standard input) into one PNG file.
void convert_file(const Options& options, Canvas& canvas, const char* operand);

}  // namespace vedad
