#pragma once

#include <cstdint>

namespace vedad {

// Reads an integer as atoi does (leading blanks, optional sign, digits up to the first
// non-digit, 0 when there are none), but clamps values beyond the 32-bit range instead of
// overflowing.
int32_t parse_int_clamped(const char* text);

// Reads a whole number written as decimal digits alone, as the newer options take it; any
// other text, or a number above `most`, gives `invalid`, which the checks refuse.
int64_t parse_whole_number(const char* text, int64_t most, int64_t invalid);

// Reads an integer as the %d conversion of scanf does, clamped to the 32-bit range.
// Returns false when no digits could be read; `end` is left after the number.
bool scan_int_clamped(const char* text, int32_t& value, const char*& end);

}  // namespace vedad
