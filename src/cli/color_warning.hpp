#pragma once

#include <string>

#include "base/options.hpp"

namespace vedad {

// A colour value reads as six hex digits after an optional '#'. A value that is not quite
// that still gives a colour, as it always has (command lines in use rely on it): characters
// that are no hex digits and missing digits count 0, and digits past the sixth are not read.
// With --verbose the run says so.

// The warning for the colour option `name` ("--background=") given `value`: what the value
// reads as, why, and, for three digits, how to write the colour they stand for elsewhere.
// Empty when the value is six hex digits after an optional '#'.
std::string color_warning(const char* name, const char* value);

// With --verbose, prints the warning of each colour option given.
void warn_about_colors(const Options& options);

}  // namespace vedad
