#include "base/utf8.hpp"

namespace vedad {

namespace {

// What a lead byte begins: the length of its sequence (0: none) and the range its second
// byte must lie in, which rules out overlong forms, surrogates and code points above
// U+10FFFF. Every later byte is any continuation byte.
struct Lead {
    uint8_t length = 0;
    unsigned char lowest = 0x80;
    unsigned char highest = 0xBF;
};

Lead lead_of(unsigned char lead)
{
    if (lead < 0x80) return Lead{1};
    if (lead >= 0xC2 && lead <= 0xDF) return Lead{2};
    if (lead >= 0xE0 && lead <= 0xEF) return Lead{3, static_cast<unsigned char>(lead == 0xE0 ? 0xA0 : 0x80),
                                                  static_cast<unsigned char>(lead == 0xED ? 0x9F : 0xBF)};
    if (lead >= 0xF0 && lead <= 0xF4) return Lead{4, static_cast<unsigned char>(lead == 0xF0 ? 0x90 : 0x80),
                                                  static_cast<unsigned char>(lead == 0xF4 ? 0x8F : 0xBF)};
    return Lead{};
}

// Whether `byte` may stand at position `at` (1 or more) of a sequence begun with `lead`.
bool continues(unsigned char lead, size_t at, unsigned char byte)
{
    const Lead rule = lead_of(lead);
    if (at == 1) return byte >= rule.lowest && byte <= rule.highest;
    return utf8_is_continuation(byte);
}

}  // namespace

size_t utf8_sequence_length(std::string_view bytes)
{
    if (bytes.empty()) return 0;
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const size_t length = lead_of(lead).length;
    if (length == 0 || bytes.size() < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if (!continues(lead, i, static_cast<unsigned char>(bytes[i]))) return 0;
    }
    return length;
}

bool utf8_reader_begin(Utf8Reader& reader, unsigned char lead)
{
    const uint8_t length = lead_of(lead).length;
    if (length < 2) return false;
    reader.bytes[0] = lead;
    reader.length = 1;
    reader.needed = length;
    return true;
}

bool utf8_reader_continue(Utf8Reader& reader, unsigned char byte)
{
    if (reader.length == 0 || reader.length >= reader.needed || !continues(reader.bytes[0], reader.length, byte)) {
        return false;
    }
    reader.bytes[reader.length++] = byte;
    return true;
}

size_t encode_utf8(char32_t code_point, char* out)
{
    if ((code_point >= 0xD800 && code_point <= 0xDFFF) || code_point > 0x10FFFF) code_point = REPLACEMENT_CHARACTER;
    if (code_point < 0x80) {
        out[0] = static_cast<char>(code_point);
        return 1;
    }
    if (code_point < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code_point >> 6));
        out[1] = static_cast<char>(0x80 | (code_point & 0x3F));
        return 2;
    }
    if (code_point < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code_point >> 12));
        out[1] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code_point & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (code_point >> 18));
    out[1] = static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code_point & 0x3F));
    return 4;
}

}  // namespace vedad
