#include "glyphs/text_decoding.hpp"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace vedad;

namespace {

std::vector<uint32_t> each_byte(const std::string& text)
{
    std::vector<uint32_t> characters;
    for (char byte : text) characters.push_back(static_cast<unsigned char>(byte));
    return characters;
}

}  // namespace

TEST(DecodeText, ReadsUtf8OfOneToFourBytesAndEveryOtherByteAlone)
{
    struct Case {
        std::string text;
        std::vector<uint32_t> characters;
    };
    const Case cases[] = {
        {"", {}},
        {"Ab ~", {'A', 'b', ' ', '~'}},
        {"\xc3\xa9", {0xE9}},
        {"\xe2\x94\x80", {0x2500}},
        {"\xef\xbf\xbf", {0xFFFF}},
        {"\xf0\x9f\x98\x80", {0x1F600}},
        {"\xf0\x90\x80\x80", {0x10000}},
        {"\xf4\x8f\xbf\xbf", {0x10FFFF}},
        {"\xf0\x9d\x94\xb8x", {0x1D538, 'x'}},
        {"\xf0\x8f\xbf\xbf", {0xF0, 0x8F, 0xBF, 0xBF}},  // overlong: each byte as libgd reads it
        {"\xf4\x90\x80\x80", {0xF4, 0x90, 0x80, 0x80}},  // above U+10FFFF
        {"\xf5\x80\x80\x80", {0xF5, 0x80, 0x80, 0x80}},
        {"\xf0\x9f\x98", {0xF0, 0x9F, 0x98}},              // cut short
        {"\xf0\x9f\x98x", {0xF0, 0x9F, 0x98, 'x'}},
        {"\x80\xbf", {0x80, 0xBF}},                      // lone continuation bytes
        {"\xc3", {0xC3}},                                // cut short at the end
        {"\xc3x", {0xC3, 'x'}},
        {"\xe2\x94x", {0xE2, 0x94, 'x'}},                // three-byte lead with one trail byte
        {"\xc0\x80", {0}},                               // overlong forms are read as libgd reads them
        {"\xe0\x80\xaf", {0x2F}},
        {"\xed\xa0\x80", {0xD800}},                      // a surrogate too
        {"\xf8\xfe\xff", {0xF8, 0xFE, 0xFF}},
        {"a & b", {'a', ' ', '&', ' ', 'b'}},
        {"&&", {'&', '&'}},
        {"&" + std::string(16, 'x') + ";", each_byte("&" + std::string(16, 'x') + ";")},  // ';' too far away
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> characters = {99};
        ASSERT_TRUE(decode_text(c.text, characters)) << c.text;
        EXPECT_EQ(characters, c.characters) << c.text;
    }
}

TEST(DecodeText, LeavesWhatMayBeAReferenceToLibgd)
{
    const std::vector<std::string> texts = {"&amp;", "x&lt;", "&#233;", "&#xE9;", "&bogus;", "&#;", "& ;", "&" + std::string(15, 'x') + ";"};
    for (const std::string& text : texts) {
        std::vector<uint32_t> characters;
        EXPECT_FALSE(decode_text(text, characters)) << text;
    }
}
