#include "glyphs/text_decoding.hpp"

#include "base/utf8.hpp"

namespace vedad {

namespace {

// libgd decodes "&#NNN;", "&#xHH;" and "&name;" with a name of at most eight bytes; any '&'
// with a ';' this close after it is left to libgd, a little more often than needed.
constexpr size_t REFERENCE_REACH = 16;

bool may_begin_reference(std::string_view text)
{
    return text.substr(1, REFERENCE_REACH).find(';') != std::string_view::npos;
}

bool is_trail(std::string_view text, size_t at)
{
    return at < text.size() && utf8_is_continuation(static_cast<unsigned char>(text[at]));
}

// libgd reads a two- or three-byte form by its lead and continuation bytes alone, overlong
// forms and surrogates included; of four bytes it reads none, and the glyph path reads only
// well-formed ones.
size_t libgd_length(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead >= 0xC0 && lead < 0xE0 && is_trail(text, 1)) return 2;
    if (lead >= 0xE0 && lead < 0xF0 && is_trail(text, 1) && is_trail(text, 2)) return 3;
    if (lead >= 0xF0 && utf8_sequence_length(text) == 4) return 4;
    return 1;
}

}  // namespace

size_t read_character(std::string_view text, uint32_t& character)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead == '&' && may_begin_reference(text)) return 0;
    const size_t length = libgd_length(text);
    character = length == 1 ? lead : static_cast<uint32_t>(utf8_code_point(text, length));
    return length;
}

bool decode_text(std::string_view text, std::vector<uint32_t>& characters)
{
    characters.clear();
    while (!text.empty()) {
        uint32_t character = 0;
        const size_t length = read_character(text, character);
        if (length == 0) return false;
        characters.push_back(character);
        text.remove_prefix(length);
    }
    return true;
}

}  // namespace vedad
