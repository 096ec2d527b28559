#include "base/utf8.hpp"

namespace vedad {

namespace {

bool is_continuation(unsigned char byte, unsigned char lowest = 0x80, unsigned char highest = 0xBF)
{
    return byte >= lowest && byte <= highest;
}

}  // namespace

size_t utf8_sequence_length(std::string_view bytes)
{
    if (bytes.empty()) return 0;
    const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    size_t length = 0;
    // The second byte's range rules out overlong forms, surrogates and code points above
    // U+10FFFF; every later byte is any continuation byte.
    unsigned char lowest = 0x80, highest = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) lowest = 0xA0;
        if (lead == 0xED) highest = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) lowest = 0x90;
        if (lead == 0xF4) highest = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < length || !is_continuation(at(1), lowest, highest)) return 0;
    for (size_t i = 2; i < length; ++i) {
        if (!is_continuation(at(i))) return 0;
    }
    return length;
}

char32_t utf8_code_point(std::string_view bytes, size_t length)
{
    static constexpr unsigned char LEAD_BITS[UTF8_MAX_BYTES + 1] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code_point = static_cast<unsigned char>(bytes[0]) & LEAD_BITS[length];
    for (size_t i = 1; i < length; ++i) code_point = code_point << 6 | (static_cast<unsigned char>(bytes[i]) & 0x3F);
    return code_point;
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
