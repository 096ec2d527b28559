#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vedad {

// Reads `text` into characters the way libgd's text call reads it, so that text drawn from
// the glyph cache shows what libgd would draw: UTF-8 sequences of two and three bytes
// (overlong forms and surrogates included) are one character each, and every other byte,
// a four-byte sequence's bytes among them, is the character of its own value.
//
// Returns false when an '&' in the text may begin a character reference or an entity, which
// libgd decodes itself; `characters` is then incomplete.
bool decode_text(std::string_view text, std::vector<uint32_t>& characters);

}  // namespace vedad
