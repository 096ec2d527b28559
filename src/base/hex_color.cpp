#include "base/hex_color.hpp"

#include <cstdio>

namespace vedad {

namespace {

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

}  // namespace

bool read_color_text(const char* value, std::array<char, 7>& text)
{
    text = {};
    return std::sscanf(value, "%6s", text.data()) == 1;
}

void parse_hex_color(const char* text, Rgb& rgb)
{
    int digits[6] = {0, 0, 0, 0, 0, 0};
    // Stop at the terminator so that a short value never reads past its end.
    for (int i = 0; i < 6 && text[i] != '\0'; ++i) digits[i] = hex_digit(text[i]);
    rgb.r = static_cast<uint8_t>(16 * digits[0] + digits[1]);
    rgb.g = static_cast<uint8_t>(16 * digits[2] + digits[3]);
    rgb.b = static_cast<uint8_t>(16 * digits[4] + digits[5]);
}

}  // namespace vedad
