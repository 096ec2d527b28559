#include "readers/plain_text.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/utf8.hpp"
#include "canvas/draw.hpp"
#include "canvas/text_extent.hpp"
#include "readers/character_width.hpp"

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

using ExpandedRow = std::array<char, EXPANDED_ROW_MAX + 1>;

// The text of a row with each tab made into the spaces that reach the next tab stop. A text
// without tabs is returned as it is, so that its row is drawn exactly as the line.
const char* expand_tabs(const char* text, int32_t tab_width, ExpandedRow& row)
{
    if (std::strchr(text, '\t') == nullptr) return text;
    std::string_view rest(text);
    size_t length = 0;
    int64_t column = 0;  // at most a piece's tabs times the widest stop: far from overflowing
    while (!rest.empty()) {
        if (rest.front() == '\t') {
            rest.remove_prefix(1);
            if (tab_width <= 0) continue;
            const int64_t spaces = tab_width - column % tab_width;
            const size_t written = static_cast<size_t>(std::min<int64_t>(spaces, EXPANDED_ROW_MAX - length));
            std::fill_n(row.begin() + static_cast<ptrdiff_t>(length), written, ' ');
            length += written;
            column += spaces;
            if (length == EXPANDED_ROW_MAX) break;
            continue;
        }
        const size_t bytes = std::max<size_t>(utf8_sequence_length(rest), 1);
        if (length + bytes > EXPANDED_ROW_MAX) break;
        std::copy_n(rest.begin(), bytes, row.begin() + static_cast<ptrdiff_t>(length));
        length += bytes;
        column += 1;
        rest.remove_prefix(bytes);
    }
    row[length] = '\0';
    return row.data();
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


// Draws one row, and moves on to the next.
void draw_row(Canvas& canvas, const char* row, GlyphReach& reach, TextExtent& extent)
{
    // Rows that cannot show are only measured, and once the extent covers the image's width,
    // not even that: they are still read, and their line breaks still count.
    if (!row_needs_no_measuring(canvas, reach, row, extent.x)) canvas_draw_row(canvas, row, reach);
    raise_extent(extent, canvas);
    canvas_line_break(canvas);
}

// Draws a line as rows of at most `columns` cells, a wide character counting two and a mark
// that joins the character before it none: where the next character would pass the last
// column, it begins the next row.
void draw_wrapped(Canvas& canvas, std::string_view line, int32_t columns, GlyphReach& reach, TextExtent& extent)
{
    std::string row;
    int64_t cells = 0;
    while (!line.empty()) {
        const size_t sequence = utf8_sequence_length(line);
        const size_t bytes = std::max<size_t>(sequence, 1);
        const int width = sequence == 0 ? 1 : std::max(character_width(utf8_code_point(line, sequence)), 0);
        if (cells > 0 && cells + width > columns) {
            draw_row(canvas, row.c_str(), reach, extent);
            row.clear();
            cells = 0;
        }
        row.append(line.substr(0, bytes));
        cells += width;
        line.remove_prefix(bytes);
    }
    draw_row(canvas, row.c_str(), reach, extent);
}

}  // namespace

void read_plain_text(Canvas& canvas, FILE* stream, TextExtent& extent, int first_char, int32_t columns)
{
    std::array<char, PLAIN_TEXT_BUFFER_SIZE> buffer;
    ExpandedRow expanded;
    GlyphReach reach;
    int pending = first_char;
    bool line_begins = true;  // a piece after one that ended without its line feed continues it
    while (read_piece(buffer, stream, pending)) {
        size_t length = std::strlen(buffer.data());
        if (line_begins) canvas_note_line(canvas);
        line_begins = length > 0 && buffer[length - 1] == '\n';
        if (line_begins) buffer[length - 1] = '\0';
        drop_carriage_returns(buffer.data());
        const char* row = expand_tabs(buffer.data(), canvas.settings.tab_width, expanded);
        if (columns > 0) draw_wrapped(canvas, row, columns, reach, extent);
        else draw_row(canvas, row, reach, extent);
    }
}

void read_plain_page(Canvas& canvas, FILE* stream, const Options& options, TextExtent& extent)
{
    read_plain_text(canvas, stream, extent, 0, options.columns);
}

}  // namespace vedad
