#pragma once

#include <array>

#include "base/rgb.hpp"

namespace vedad {

// The colour text of a --background= or --foreground= value, read as scanf's "%6s" reads
// it: blanks skipped, then at most six characters up to the next blank. False when the value
// holds no such character.
bool read_color_text(const char* value, std::array<char, 7>& text);

// Reads a colour from the first six characters of `text` (RRGGBB). Only '0'-'9' and
// lower-case 'a'-'f' are digits; any other character, and any position past the end,
// counts 0.
void parse_hex_color(const char* text, Rgb& rgb);

}  // namespace vedad
