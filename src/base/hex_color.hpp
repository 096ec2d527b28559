#pragma once

#include <array>

#include "base/rgb.hpp"

namespace vedad {

// The characters of a colour value that count: an optional '#' and six more.
using ColorText = std::array<char, 8>;

// The colour text of a --background= or --foreground= value, read as scanf's "%6s" reads
// it, a leading '#' not counted among the six: blanks skipped, then at most six characters
// (seven when the first is '#') up to the next blank. False when the value holds no such
// character.
bool read_color_text(const char* value, ColorText& text);

// Reads a colour from `text`, RRGGBB after an optional '#': the six characters after the
// '#' (or the first six, when there is none) give the digits. '0'-'9', 'a'-'f' and 'A'-'F'
// are digits; any other character, and any position past the end, counts 0.
void parse_hex_color(const char* text, Rgb& rgb);

// The value of a hex digit, or -1 for a character that is none.
int hex_digit_value(char c);

}  // namespace vedad
