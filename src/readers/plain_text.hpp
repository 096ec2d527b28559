#pragma once

#include <cstdint>
#include <cstdio>

#include "base/options.hpp"
#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"

namespace vedad {

// Longest piece of a line drawn as one row: the line buffer less its terminator and one
// byte that is never used.
inline constexpr int PLAIN_TEXT_BUFFER_SIZE = 10240;
inline constexpr int PLAIN_TEXT_PIECE_MAX = PLAIN_TEXT_BUFFER_SIZE - 2;

// Longest row once its tabs are spaces. With tab stops up to the default eight columns apart
// every piece fits whole, a piece of nothing but tabs included; with wider ones a row is cut
// where the next character or space would pass this length.
inline constexpr int EXPANDED_ROW_MAX = 8 * PLAIN_TEXT_PIECE_MAX;

// Draws `stream` line by line, each line as one row, and raises the text extent after each
// row. A tab is drawn as the spaces that reach the next stop, every `Canvas.tab_width`
// characters from the start of the line (none when that is 0 or less); a well-formed UTF-8
// character counts as one, and so does any other byte. `first_char`, when not 0, is a
// character already taken from the stream that belongs in front of it. With `columns` above 0
// a line wraps into rows of at most that many cells.
void read_plain_text(Canvas& canvas, FILE* stream, TextExtent& extent, int first_char, int32_t columns = 0);

// The plain text reader as the reader table calls it: the whole stream.
void read_plain_page(Canvas& canvas, FILE* stream, const Options& options, TextExtent& extent);

}  // namespace vedad
