#pragma once

#include "canvas/rgb.hpp"

namespace vedad {

// Reads a colour from the first six characters of `text` (RRGGBB). Only '0'-'9' and
// lower-case 'a'-'f' are digits; any other character, and any position past the end,
// counts 0.
void parse_hex_color(const char* text, Rgb& rgb);

}  // namespace vedad
