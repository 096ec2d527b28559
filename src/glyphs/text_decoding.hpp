#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vedad {

// Reads text into characters the way libgd's text call reads it, so that text drawn from
// the glyph cache shows what libgd would draw, and beyond it: UTF-8 sequences of two and
// three bytes (overlong forms and surrogates included, as libgd reads them) are one
// character each, so is a well-formed sequence of four bytes (U+10000 to U+10FFFF), which
// libgd reads as four; every other byte is the character of its own value, its Latin-1
// character.

// The character at the front of `text` (not empty) into `character`, and how many bytes it
// takes, 1 to 4; 0 when an '&' there may begin a character reference or an entity, which
// libgd decodes itself.
size_t read_character(std::string_view text, uint32_t& character);

// All of `text`; false when it may hold a reference, and `characters` is then incomplete.
bool decode_text(std::string_view text, std::vector<uint32_t>& characters);

}  // namespace vedad
