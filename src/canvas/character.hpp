#pragma once

#include <array>
#include <string_view>

#include "base/utf8.hpp"

namespace vedad {

// One character as the text libgd draws for it: the bytes of one whole UTF-8 character, or a
// single byte that begins none; NUL-terminated, and empty for a NUL byte.
struct Character {
    std::array<char, UTF8_MAX_BYTES + 1> text{};
};

// The first character of `bytes`: its whole UTF-8 character, or else its first byte alone.
Character first_character(std::string_view bytes);

// The character of `code_point`; U+FFFD for 0, a surrogate or a code point above U+10FFFF.
Character character_of_code_point(char32_t code_point);

}  // namespace vedad
