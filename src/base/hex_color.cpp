#include "base/hex_color.hpp"

#include <cctype>
#include <cstddef>

namespace vedad {

namespace {

// As scanf skips blanks.
bool is_blank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

int hex_digit_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool read_color_text(const char* value, ColorText& text)
{
    text = {};
    while (is_blank(*value)) ++value;
    const size_t most = *value == '#' ? 7 : 6;
    size_t length = 0;
    while (length < most && value[length] != '\0' && !is_blank(value[length])) {
        text[length] = value[length];
        ++length;
    }
    return length > 0;
}

void parse_hex_color(const char* text, Rgb& rgb)
{
    if (*text == '#') ++text;
    int digits[6] = {0, 0, 0, 0, 0, 0};
    // Stop at the terminator so that a short value never reads past its end.
    for (int i = 0; i < 6 && text[i] != '\0'; ++i) {
        const int digit = hex_digit_value(text[i]);
        digits[i] = digit < 0 ? 0 : digit;
    }
    rgb.r = static_cast<uint8_t>(16 * digits[0] + digits[1]);
    rgb.g = static_cast<uint8_t>(16 * digits[2] + digits[3]);
    rgb.b = static_cast<uint8_t>(16 * digits[4] + digits[5]);
}

}  // namespace vedad
