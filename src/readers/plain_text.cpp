#include "readers/plain_text.hpp"

#include <array>
#include <cstring>

#include "canvas/draw.hpp"
#include "canvas/text_extent.hpp"

namespace vedad {

namespace {

// Carriage returns are dropped, so that lines ending in CR LF draw their text.
void drop_carriage_returns(char* text)
{
    char* out = text;
    for (const char* in = text; *in != '\0'; ++in) {
        if (*in != '\r') *out++ = *in;
    }
    *out = '\0';
}

// Reads the next piece into `buffer`; a pending handed-back character stands in front of it.
bool read_piece(std::array<char, PLAIN_TEXT_BUFFER_SIZE>& buffer, FILE* stream, int& pending)
{
    if (pending == 0) return std::fgets(buffer.data(), PLAIN_TEXT_PIECE_MAX + 1, stream) != nullptr;

    // The handed-back character takes the first byte; a line feed ends its piece at once.
    buffer[0] = static_cast<char>(pending);
    buffer[1] = '\0';
    const bool line_done = pending == '\n';
    pending = 0;
    if (!line_done && std::fgets(buffer.data() + 1, PLAIN_TEXT_PIECE_MAX, stream) == nullptr) buffer[1] = '\0';
    return true;
}

}  // namespace

void read_plain_text(Canvas& canvas, FILE* stream, TextExtent& extent, int first_char)
{
    std::array<char, PLAIN_TEXT_BUFFER_SIZE> buffer;
    GlyphReach reach;
    int pending = first_char;
    while (read_piece(buffer, stream, pending)) {
        size_t length = std::strlen(buffer.data());
        if (length > 0 && buffer[length - 1] == '\n') buffer[length - 1] = '\0';
        drop_carriage_returns(buffer.data());

        // Rows that cannot show are only measured, and once the extent covers the image's
        // width, not even that: they are still read, and their line breaks still count.
        if (!row_needs_no_measuring(canvas, reach, buffer.data(), extent.x))
            canvas_draw_row(canvas, buffer.data(), reach);
        raise_extent(extent, canvas);
        canvas_line_break(canvas);
    }
}

}  // namespace vedad
