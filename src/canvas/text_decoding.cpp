#include "canvas/text_decoding.hpp"

namespace vedad {

namespace {

// libgd decodes "&#NNN;", "&#xHH;" and "&name;" with a name of at most eight bytes; any '&'
// with a ';' this close after it is left to libgd, a little more often than needed.
constexpr size_t REFERENCE_REACH = 16;

bool may_begin_reference(std::string_view text, size_t at)
{
    const size_t end = text.size() - at > REFERENCE_REACH ? at + REFERENCE_REACH + 1 : text.size();
    return text.substr(at + 1, end - at - 1).find(';') != std::string_view::npos;
}

bool is_trail(std::string_view text, size_t at)
{
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

}  // namespace

bool decode_text(std::string_view text, std::vector<uint32_t>& characters)
{
    characters.clear();
    size_t at = 0;
    while (at < text.size()) {
        const uint32_t lead = static_cast<unsigned char>(text[at]);
        if (lead == '&' && may_begin_reference(text, at)) return false;
        auto byte = [&](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(text[at + k])); };
        if (lead >= 0xC0 && lead < 0xE0 && is_trail(text, at + 1)) {
            characters.push_back(((lead & 0x1F) << 6) | (byte(1) & 0x3F));
            at += 2;
        } else if (lead >= 0xE0 && lead < 0xF0 && is_trail(text, at + 1) && is_trail(text, at + 2)) {
            characters.push_back(((lead & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F));
            at += 3;
        } else {
            characters.push_back(lead);
            at += 1;
        }
    }
    return true;
}

}  // namespace vedad
