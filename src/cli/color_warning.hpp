#pragma once

#include <string>

#include "base/options.hpp"

namespace vedad {

// A colour written as it is often written elsewhere, "#FF8800", reads here as it always has:
// '#' and upper-case A to F count 0, so it gives another colour. The reading stays (command
// lines in use rely on it); with --verbose the run says so.

// The warning for the colour option `name` ("--background=") given `value`: what the value
// reads as and, when its digits were meant, how to write them. Empty when the characters read
// hold no '#' and no upper-case A to F.
std::string color_warning(const char* name, const char* value);

// With --verbose, prints the warning of each colour option given.
void warn_about_colors(const Options& options);

}  // namespace vedad
