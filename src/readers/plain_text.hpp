#pragma once

#include <cstdint>
#include <cstdio>

#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"

namespace vedad {

// Longest piece of a line drawn as one row: the line buffer less its terminator and one
// byte that is never used.
inline constexpr int PLAIN_TEXT_BUFFER_SIZE = 10240;
inline constexpr int PLAIN_TEXT_PIECE_MAX = PLAIN_TEXT_BUFFER_SIZE - 2;

// Draws `stream` line by line, each line as one row, and raises the text extent after each
// row. `first_char`, when not 0, is a character already taken from the stream that belongs
// in front of it.
void read_plain_text(Canvas& canvas, FILE* stream, TextExtent& extent, int first_char);

}  // namespace vedad
