#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"
#include "base/options.hpp"

namespace vedad {

inline constexpr size_t HTML_TOKEN_BUFFER_SIZE = 1024;

// Reads the next token: a run of characters between the separators tab, line feed, carriage
// return, space, '<' and '>', at most size - 1 of them (the character read at the limit is
// dropped). `size` is at least 1. Returns 1 when a token was read, 0 when the input ended
// first, also in the middle of a token.
int read_token(FILE* stream, char* buffer, size_t size);

// Draws span HTML: every character inside a span in the span's text colour on a cell of its
// background colour, a line break for each "br/" between spans. Input that does not begin
// with '<' is drawn as plain text after a warning. HTML of another kind (double-quoted style
// attributes, class attributes, <pre>, several characters in a span) is drawn the same way and
// then warned about once, on the page that is drawn.
void read_html_spans(Canvas& canvas, FILE* stream, const Options& options, TextExtent& extent);

}  // namespace vedad
