#include "canvas/character.hpp"

#include <string>

#include <gtest/gtest.h>

using namespace vedad;

TEST(FirstCharacter, IsTheFirstWholeCharacterOrElseTheFirstByte)
{
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"", ""},
        {std::string("\0a", 2), ""},
        {"ab", "a"},
        {"\xc3\xa9t\xc3\xa9", "\xc3\xa9"},
        {"\xe6\xbc\xa2\xe5\xad\x97", "\xe6\xbc\xa2"},
        {"\xf0\x9f\x98\x80!", "\xf0\x9f\x98\x80"},
        {"\xe2\x94", "\xe2"},  // cut short: its first byte
        {"\x80\x80", "\x80"},
        {"\xed\xa0\x80", "\xed"},
        {"\xff", "\xff"},
    };
    for (const Case& c : cases) EXPECT_EQ(std::string(first_character(c.bytes).text.data()), c.text) << c.bytes;
}

TEST(CharacterOfCodePoint, ReplacesCodePointsOfNoCharacter)
{
    struct Case {
        char32_t code_point;
        std::string text;
    };
    const Case cases[] = {
        {'&', "&"},           {0xe9, "\xc3\xa9"},        {0x1f600, "\xf0\x9f\x98\x80"},
        {0, "\xef\xbf\xbd"},  {0xdc00, "\xef\xbf\xbd"},  {0x110000, "\xef\xbf\xbd"},
    };
    for (const Case& c : cases) EXPECT_EQ(std::string(character_of_code_point(c.code_point).text.data()), c.text);
}
