#pragma once

#include <cstddef>
#include <string_view>

namespace vedad {

// Length of the well-formed UTF-8 sequence that `bytes` begins with, 1 to 4; 0 when none
// begins there: no bytes, a continuation byte, a byte that never leads, a sequence cut short,
// an overlong form, a surrogate or a code point above U+10FFFF.
size_t utf8_sequence_length(std::string_view bytes);

// The code point of the well-formed sequence that `bytes` begins with, of the length
// utf8_sequence_length gives (at least 1).
char32_t utf8_code_point(std::string_view bytes, size_t length);

inline constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;
inline constexpr size_t UTF8_MAX_BYTES = 4;

// Writes the UTF-8 form of `code_point` to `out` (room for UTF8_MAX_BYTES) and returns its
// length. Code points that no character may have (surrogates, above U+10FFFF) are written as
// U+FFFD.
size_t encode_utf8(char32_t code_point, char* out);

}  // namespace vedad
