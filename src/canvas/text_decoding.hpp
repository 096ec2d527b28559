#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vedad {

// Reads text into characters the way libgd's text call reads it, so that text drawn from
// the glyph cache shows what libgd would draw: UTF-8 sequences of two and three bytes
// (overlong forms and surrogates included) are one character each, and every other byte,
// a four-byte sequence's bytes among them, is the character of its own value.

// The character at the front of `text` (not empty) into `character`, and how many bytes it
// takes, 1 to 3; 0 when an '&' there may begin a character reference or an entity, which
// libgd decodes itself.
size_t read_character(std::string_view text, uint32_t& character);

// All of `text`; false when it may hold a reference, and `characters` is then incomplete.
bool decode_text(std::string_view text, std::vector<uint32_t>& characters);

}  // namespace vedad
