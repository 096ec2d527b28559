#include "base/hex_color.hpp"

#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

using namespace vedad;

TEST(ParseHexColor, ReadsSixHexDigitsAfterAnOptionalHashAndCountsAnythingElseZero)
{
    const std::string many_e(300, 'e');
    const struct {
        std::string text;
        Rgb want;
    } cases[] = {
        {"ffff00", {255, 255, 0}},
        {"0a0b0c", {10, 11, 12}},
        {"#1e1e1e", {30, 30, 30}},
        {"1E1E1E", {30, 30, 30}},
        {"#1E1E1E", {30, 30, 30}},
        {"FFFF00", {255, 255, 0}},
        {"#ffff00", {255, 255, 0}},
        {"aBcDeF", {0xab, 0xcd, 0xef}},
        // Only one '#' is skipped; a second counts 0 like any other character.
        {"##ffff", {15, 255, 240}},
        {"#", {0, 0, 0}},
        {"fff", {255, 240, 0}},
        {"#fff", {255, 240, 0}},
        {"", {0, 0, 0}},
        {"g0z9xy", {0, 9, 0}},
        {"g1z2-3", {1, 2, 3}},
        {"12345678", {0x12, 0x34, 0x56}},
        {"123456789abc", {0x12, 0x34, 0x56}},
        {"#12345678", {0x12, 0x34, 0x56}},
        {many_e, {0xee, 0xee, 0xee}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        // A buffer of the exact length, so that reading past a short value shows under ASan.
        const size_t size = test.text.size() + 1;
        std::unique_ptr<char[]> text(new char[size]);
        std::memcpy(text.get(), test.text.c_str(), size);
        Rgb got{1, 2, 3};
        parse_hex_color(text.get(), got);
        EXPECT_EQ(got.r, test.want.r);
        EXPECT_EQ(got.g, test.want.g);
        EXPECT_EQ(got.b, test.want.b);
    }
}

TEST(ReadColorText, TakesTheFirstWordUpToSixCharactersAfterAnOptionalHash)
{
    const std::string many_e(300, 'e');
    const struct {
        std::string value;
        const char* want;  // null: no colour text
    } cases[] = {
        {"1e1e1e", "1e1e1e"},
        {"#1e1e1e", "#1e1e1e"},
        {"  #1E1E1E  and more", "#1E1E1E"},
        {"12345678", "123456"},
        {"#12345678", "#123456"},
        {"a0 ff", "a0"},
        {"#", "#"},
        {"fff#", "fff#"},
        {many_e, "eeeeee"},
        {"", nullptr},
        {" \t ", nullptr},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.value);
        ColorText text;
        text.fill('x');
        const bool read = read_color_text(test.value.c_str(), text);
        EXPECT_EQ(read, test.want != nullptr);
        if (test.want != nullptr) {
            EXPECT_STREQ(text.data(), test.want);
        }
    }
}

TEST(HexDigitValue, ReadsBothCases)
{
    EXPECT_EQ(hex_digit_value('0'), 0);
    EXPECT_EQ(hex_digit_value('9'), 9);
    EXPECT_EQ(hex_digit_value('a'), 10);
    EXPECT_EQ(hex_digit_value('F'), 15);
    for (const char c : {'g', 'G', '#', ' ', '\0', '/', ':', '@', '`'}) EXPECT_EQ(hex_digit_value(c), -1) << int{c};
}
