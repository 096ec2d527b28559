#include "base/utf8.hpp"

#include <string>

#include <gtest/gtest.h>

using namespace vedad;

TEST(Utf8SequenceLength, CountsOnlyWellFormedSequences)
{
    struct Case {
        std::string bytes;
        size_t length;
    };
    const Case cases[] = {
        {"", 0},
        {"a", 1},
        {std::string(1, '\0'), 1},
        {"\x7f", 1},
        {"\xc3\xa9x", 2},                // é, then more
        {"\xe2\x94\x80", 3},             // ─
        {"\xe6\xbc\xa2", 3},             // 漢
        {"\xf0\x9f\x98\x80", 4},         // U+1F600
        {"\xf4\x8f\xbf\xbf", 4},         // U+10FFFF
        {"\xef\xbf\xbd", 3},             // U+FFFD
        {"\x80", 0},                     // a continuation byte
        {"\xbf\xbf", 0},
        {"\xc3", 0},                     // cut short
        {"\xe2\x94", 0},
        {"\xe2\x94x", 0},
        {"\xf0\x9f\x98", 0},
        {"\xc3x", 0},
        {"\xc0\xaf", 0},                 // overlong
        {"\xc1\xbf", 0},
        {"\xe0\x9f\xbf", 0},
        {"\xf0\x8f\xbf\xbf", 0},
        {"\xed\xa0\x80", 0},             // a surrogate
        {"\xed\x9f\xbf", 3},             // just below the surrogates
        {"\xf4\x90\x80\x80", 0},         // above U+10FFFF
        {"\xf5\x80\x80\x80", 0},
        {"\xff", 0},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const unsigned char byte : c.bytes) shown += std::to_string(byte) + " ";
        EXPECT_EQ(utf8_sequence_length(c.bytes), c.length) << shown;
        // Read a byte at a time, the same bytes make the same character, and a byte that
        // cannot stand where it comes is refused there.
        if (c.length < 2) continue;
        Utf8Reader reader;
        ASSERT_TRUE(utf8_reader_begin(reader, static_cast<unsigned char>(c.bytes[0]))) << shown;
        for (size_t i = 1; i < c.length; ++i) EXPECT_TRUE(utf8_reader_continue(reader, static_cast<unsigned char>(c.bytes[i])));
        EXPECT_TRUE(utf8_reader_complete(reader)) << shown;
        EXPECT_EQ(utf8_reader_text(reader), c.bytes.substr(0, c.length));
        EXPECT_FALSE(utf8_reader_continue(reader, 0x80)) << shown;
    }
    for (const std::string broken : {"\xe0\x80", "\xed\xa0", "\xf0\x8f", "\xf4\x90", "\xc3x", "\xe2\x94x"}) {
        Utf8Reader reader;
        ASSERT_TRUE(utf8_reader_begin(reader, static_cast<unsigned char>(broken[0])));
        size_t read = 1;
        while (read < broken.size() && utf8_reader_continue(reader, static_cast<unsigned char>(broken[read]))) ++read;
        EXPECT_LT(read, broken.size());
        EXPECT_FALSE(utf8_reader_complete(reader));
    }
    Utf8Reader reader;
    for (const unsigned char lead : {0x41, 0x80, 0xbf, 0xc0, 0xc1, 0xf5, 0xff}) EXPECT_FALSE(utf8_reader_begin(reader, lead));
}

TEST(EncodeUtf8, WritesEachCodePointAndReplacesThoseOfNoCharacter)
{
    struct Case {
        char32_t code_point;
        std::string bytes;
    };
    const Case cases[] = {
        {'A', "A"},
        {0x7f, "\x7f"},
        {0x80, "\xc2\x80"},
        {0xe9, "\xc3\xa9"},
        {0x7ff, "\xdf\xbf"},
        {0x800, "\xe0\xa0\x80"},
        {0x2500, "\xe2\x94\x80"},
        {0xd7ff, "\xed\x9f\xbf"},
        {0xd800, "\xef\xbf\xbd"},
        {0xdfff, "\xef\xbf\xbd"},
        {0xffff, "\xef\xbf\xbf"},
        {0x10000, "\xf0\x90\x80\x80"},
        {0x10ffff, "\xf4\x8f\xbf\xbf"},
        {0x110000, "\xef\xbf\xbd"},
        {0xffffffff, "\xef\xbf\xbd"},
    };
    for (const Case& c : cases) {
        char out[UTF8_MAX_BYTES] = {};
        const size_t length = encode_utf8(c.code_point, out);
        EXPECT_EQ(std::string(out, length), c.bytes) << std::hex << static_cast<uint32_t>(c.code_point);
        EXPECT_EQ(utf8_sequence_length(std::string(out, length)), length);
        if (c.code_point <= 0x10ffff && (c.code_point < 0xd800 || c.code_point > 0xdfff)) {
            EXPECT_EQ(utf8_code_point(std::string(out, length), length), c.code_point);  // and back
        }
    }
}
