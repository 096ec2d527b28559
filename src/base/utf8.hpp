#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vedad {

// UTF-8 as the program reads it everywhere: a character is a well-formed sequence of one to
// four bytes. Readers that must read as libgd does build their leniency on these.

inline constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;
inline constexpr size_t UTF8_MAX_BYTES = 4;

// Whether `byte` is a continuation byte, 10xxxxxx.
inline bool utf8_is_continuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence that `bytes` begins with, 1 to 4; 0 when none
// begins there: no bytes, a continuation byte, a byte that never leads, a sequence cut short,
// an overlong form, a surrogate or a code point above U+10FFFF.
size_t utf8_sequence_length(std::string_view bytes);

// The code point of the sequence of `length` bytes (1 to 4) that `bytes` begins with, its
// lead's bits and each later byte's six.
inline char32_t utf8_code_point(std::string_view bytes, size_t length)
{
    constexpr unsigned char LEAD_BITS[UTF8_MAX_BYTES + 1] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code_point = static_cast<unsigned char>(bytes[0]) & LEAD_BITS[length];
    for (size_t i = 1; i < length; ++i) code_point = code_point << 6 | (static_cast<unsigned char>(bytes[i]) & 0x3F);
    return code_point;
}

// A character read a byte at a time, as a stream delivers it, by the same rule.
struct Utf8Reader {
    std::array<unsigned char, UTF8_MAX_BYTES> bytes{};
    uint8_t length = 0;  // the bytes read of the character begun; 0 when none is
    uint8_t needed = 0;  // the bytes the character takes
};

// Begins a character of two or more bytes with `lead`; false, leaving the reader alone,
// when `lead` begins none.
bool utf8_reader_begin(Utf8Reader& reader, unsigned char lead);

// Adds `byte` to the character begun; false, leaving the reader alone, when it cannot
// stand there.
bool utf8_reader_continue(Utf8Reader& reader, unsigned char byte);

inline bool utf8_reader_complete(const Utf8Reader& reader)
{
    return reader.length != 0 && reader.length == reader.needed;
}

inline std::string_view utf8_reader_text(const Utf8Reader& reader)
{
    return std::string_view(reinterpret_cast<const char*>(reader.bytes.data()), reader.length);
}

inline void utf8_reader_clear(Utf8Reader& reader)
{
    reader.length = 0;
    reader.needed = 0;
}

// Writes the UTF-8 form of `code_point` to `out` (room for UTF8_MAX_BYTES) and returns its
// length. Code points that no character may have (surrogates, above U+10FFFF) are written as
// U+FFFD.
size_t encode_utf8(char32_t code_point, char* out);

}  // namespace vedad
