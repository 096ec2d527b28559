#include "base/hex_color.hpp"

#include <cstring>
#include <memory>

#include <gtest/gtest.h>

using namespace vedad;

TEST(ParseHexColor, ReadsSixLowerCaseDigitsAndCountsAnythingElseZero)
{
    const struct {
        const char* text;
        Rgb want;
    } cases[] = {
        {"ffff00", {255, 255, 0}},
        {"0a0b0c", {10, 11, 12}},
        {"FFFF00", {0, 0, 0}},
        {"#ffff00", {15, 255, 240}},
        {"fff", {255, 240, 0}},
        {"", {0, 0, 0}},
        {"g1z2-3", {1, 2, 3}},
        {"123456789abc", {0x12, 0x34, 0x56}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        // A buffer of the exact length, so that reading past a short value shows under ASan.
        const size_t size = std::strlen(test.text) + 1;
        std::unique_ptr<char[]> text(new char[size]);
        std::memcpy(text.get(), test.text, size);
        Rgb got{1, 2, 3};
        parse_hex_color(text.get(), got);
        EXPECT_EQ(got.r, test.want.r);
        EXPECT_EQ(got.g, test.want.g);
        EXPECT_EQ(got.b, test.want.b);
    }
}
