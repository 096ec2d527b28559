#include "glyphs/text_decoding.hpp"

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
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

// A well-formed sequence of four bytes: a character from U+10000 to U+10FFFF, not overlong.
bool is_four_byte_character(std::string_view text, size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0xF0 || lead > 0xF4 || !is_trail(text, at + 1) || !is_trail(text, at + 2) || !is_trail(text, at + 3)) {
        return false;
    }
    const auto second = static_cast<unsigned char>(text[at + 1]);
    return !(lead == 0xF0 && second < 0x90) && !(lead == 0xF4 && second > 0x8F);
}

}  // namespace

size_t read_character(std::string_view text, uint32_t& character)
{
    const uint32_t lead = static_cast<unsigned char>(text[0]);
    if (lead == '&' && may_begin_reference(text)) return 0;
    auto byte = [&](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(text[k])); };
    if (lead >= 0xC0 && lead < 0xE0 && is_trail(text, 1)) {
        character = ((lead & 0x1F) << 6) | (byte(1) & 0x3F);
        return 2;
    }
    if (lead >= 0xE0 && lead < 0xF0 && is_trail(text, 1) && is_trail(text, 2)) {
        character = ((lead & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
        return 3;
    }
    if (is_four_byte_character(text, 0)) {
        character = ((lead & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
        return 4;
    }
    character = lead;
    return 1;
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
