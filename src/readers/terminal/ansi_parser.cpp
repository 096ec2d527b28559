#include "readers/terminal/ansi_parser.hpp"

#include "readers/character_width.hpp"

#include <algorithm>
#include <array>
#include <clocale>
#include <cwchar>
#include <locale.h>
#include <span>

namespace vedad {

namespace {

constexpr unsigned char BEL = 0x07;
constexpr unsigned char BACKSPACE = 0x08;
constexpr unsigned char TAB = 0x09;
constexpr unsigned char LINE_FEED = 0x0a;
constexpr unsigned char VERTICAL_TAB = 0x0b;
constexpr unsigned char FORM_FEED = 0x0c;
constexpr unsigned char CARRIAGE_RETURN = 0x0d;
constexpr unsigned char CANCEL = 0x18;
constexpr unsigned char SUBSTITUTE = 0x1a;
constexpr unsigned char ESC = 0x1b;
constexpr unsigned char DEL = 0x7f;


bool cancels(unsigned char byte)
{
    return byte == CANCEL || byte == SUBSTITUTE;
}

void end_cluster(AnsiParser& parser)
{
    parser.open.cluster.count = 0;
}

// Writes one character: a new grapheme cluster in cells of its own, or a part of the cluster
// before the cursor, which widens it to two cells when it makes an emoji sequence of it. A
// character of no width that continues nothing joins the cell before the cursor.
void put_character(AnsiParser& parser, Grid& grid, char32_t character, std::string_view text)
{
    const int width = character_width(character);
    if (width < 0) {  // C1 controls are consumed like C0 ones
        end_cluster(parser);
        return;
    }
    OpenCluster& open = parser.open;
    if (open.length + text.size() <= open.text.size() && cluster_continues(open.cluster, character)) {
        cluster_add(open.cluster, character);
        std::copy(text.begin(), text.end(), open.text.begin() + static_cast<ptrdiff_t>(open.length));
        open.length += text.size();
        const int cells = cluster_width(open.cluster);
        if (cells > open.cells && (grid.width == 0 || open.column + cells <= grid.width)) {
            grid.column = open.column;
            grid.wrap_pending = false;
            open.column = grid_put(grid, std::string_view(open.text.data(), open.length), cells);
            open.cells = cells;
        } else {
            grid_join(grid, text);
        }
        return;
    }
    if (width == 0) {
        grid_join(grid, text);
        return;
    }
    open.column = grid_put(grid, text, width);
    open.cells = width;
    cluster_start(open.cluster, character);
    std::copy(text.begin(), text.end(), open.text.begin());
    open.length = text.size();
}

// A printable ASCII character begins a cluster of its own unless a Prepend character (none
// lies below U+0600) holds on to it: the common case, written without a look at the rules.
void put_ascii(AnsiParser& parser, Grid& grid, unsigned char byte)
{
    const std::string_view text(reinterpret_cast<const char*>(&byte), 1);
    OpenCluster& open = parser.open;
    if (open.cluster.count > 0 && open.cluster.points[open.cluster.count - 1] >= 0x600) {
        put_character(parser, grid, byte, text);
        return;
    }
    open.column = grid_put(grid, text, 1);
    open.cells = 1;
    open.cluster.points[0] = byte;
    open.cluster.count = 1;
    open.text[0] = static_cast<char>(byte);
    open.length = 1;
}

// A character begun and cut short: each of its bytes stands for itself.
void flush_pending(AnsiParser& parser, Grid& grid)
{
    end_cluster(parser);
    const std::string_view begun = utf8_reader_text(parser.pending);
    for (size_t i = 0; i < begun.size(); ++i) grid_put(grid, begun.substr(i, 1), 1);
    utf8_reader_clear(parser.pending);
}

// The DEC special graphics set, as terminals show it for 0x5f to 0x7e: blank, diamond,
// checkerboard, HT FF CR LF, degree, plus-minus, NL VT, the box corners and crossings, scan
// lines, lines, less and greater or equal, pi, not equal, pound and middle dot.
constexpr std::array<char32_t, 32> LINE_DRAWING = {
    0x00A0, 0x25C6, 0x2592, 0x2409, 0x240C, 0x240D, 0x240A, 0x00B0, 0x00B1, 0x2424, 0x240B,
    0x2518, 0x2510, 0x250C, 0x2514, 0x253C, 0x23BA, 0x23BB, 0x2500, 0x23BC, 0x23BD, 0x251C,
    0x2524, 0x2534, 0x252C, 0x2502, 0x2264, 0x2265, 0x03C0, 0x2260, 0x00A3, 0x00B7,
};

void put_line_drawing(AnsiParser& parser, Grid& grid, unsigned char byte)
{
    end_cluster(parser);
    std::array<char, UTF8_MAX_BYTES> text{};
    const size_t length = encode_utf8(LINE_DRAWING[static_cast<size_t>(byte - 0x5f)], text.data());
    grid_put(grid, std::string_view(text.data(), length), 1);
}

void control(Grid& grid, unsigned char byte)
{
    switch (byte) {
    case CARRIAGE_RETURN: grid_carriage_return(grid); break;
    case LINE_FEED:
    case VERTICAL_TAB:
    case FORM_FEED: grid_line_feed(grid); break;
    case BACKSPACE: grid_backspace(grid); break;
    case TAB: grid_tab(grid); break;
    default: break;  // every other control is consumed
    }
}

void text_byte(AnsiParser& parser, Grid& grid, unsigned char byte)
{
    if (parser.pending.length > 0) {
        if (utf8_reader_continue(parser.pending, byte)) {
            if (utf8_reader_complete(parser.pending)) {
                const std::string_view text = utf8_reader_text(parser.pending);
                put_character(parser, grid, utf8_code_point(text, text.size()), text);
                utf8_reader_clear(parser.pending);
            }
            return;
        }
        flush_pending(parser, grid);
    }
    if (byte == ESC) {
        parser.state = AnsiParser::ESCAPE;
    } else if (byte < 0x20 || byte == DEL) {
        end_cluster(parser);
        control(grid, byte);
    } else if (byte < 0x80) {
        if (parser.line_drawing && byte >= 0x5f) put_line_drawing(parser, grid, byte);
        else put_ascii(parser, grid, byte);
    } else if (!utf8_reader_begin(parser.pending, byte)) {
        end_cluster(parser);
        grid_put(grid, std::string_view(reinterpret_cast<const char*>(&byte), 1), 1);
    }
}

void begin_sequence(AnsiParser& parser)
{
    parser.state = AnsiParser::SEQUENCE;
    parser.parameter_count = 0;
    parser.parameter_overflow = false;
    parser.sequence_ignored = false;
    parser.private_sequence = false;
}

// CSI ? ... h and l: of the DEC modes only the alternate screen changes what shows.
void set_private_modes(const AnsiParser& parser, Grid& grid, bool set)
{
    for (size_t i = 0; i < parser.parameter_count; ++i) {
        const int32_t mode = parser.parameters[i].value;
        if (mode != 47 && mode != 1047 && mode != 1049) continue;
        if (set) {
            if (mode == 1049) grid_save_cursor(grid);
            grid_enter_alternate_screen(grid);
        } else {
            grid_leave_alternate_screen(grid);
            if (mode == 1049) grid_restore_cursor(grid);
        }
    }
}

// An escape of two bytes, or of an intermediate and a final byte.
void escape(AnsiParser& parser, Grid& grid, unsigned char final_byte)
{
    end_cluster(parser);
    if (parser.intermediate == '(') {
        parser.line_drawing = final_byte == '0';  // G0: the line-drawing set, or any other
    } else if (parser.intermediate == 0) {
        if (final_byte == '7') grid_save_cursor(grid);
        else if (final_byte == '8') grid_restore_cursor(grid);
    }
}

void add_parameter(AnsiParser& parser, bool sub)
{
    if (parser.parameter_count == SEQUENCE_PARAMETER_LIMIT) {
        parser.parameter_overflow = true;
        return;
    }
    parser.parameters[parser.parameter_count++] = SequenceParameter{0, sub};
}

void add_digit(AnsiParser& parser, unsigned char digit)
{
    if (parser.parameter_count == 0) add_parameter(parser, false);
    if (parser.parameter_overflow) return;
    int32_t& value = parser.parameters[parser.parameter_count - 1].value;
    value = static_cast<int32_t>(std::min<int64_t>(int64_t{value} * 10 + (digit - '0'), SEQUENCE_VALUE_LIMIT));
}

// Parameter `index` as a count or position: absent or 0 counts 1.
int64_t count_at(const AnsiParser& parser, size_t index)
{
    if (index >= parser.parameter_count) return 1;
    return std::max<int32_t>(parser.parameters[index].value, 1);
}

// Parameter `index` as a mode: absent counts 0.
int32_t mode_at(const AnsiParser& parser, size_t index)
{
    return index < parser.parameter_count ? parser.parameters[index].value : 0;
}

void dispatch(AnsiParser& parser, Grid& grid, unsigned char final_byte)
{
    // A change of style leaves the cluster before the cursor open; anything else ends it.
    if (final_byte != 'm' || parser.private_sequence) end_cluster(parser);
    const int64_t n = count_at(parser, 0);
    if (parser.private_sequence) {
        if (final_byte == 'h' || final_byte == 'l') set_private_modes(parser, grid, final_byte == 'h');
        return;
    }
    switch (final_byte) {
    case 'm': apply_sgr(grid.style, std::span(parser.parameters.data(), parser.parameter_count)); break;
    case 'A': grid_move_relative(grid, -n, 0); break;
    case 'B': grid_move_relative(grid, n, 0); break;
    case 'C': grid_move_relative(grid, 0, n); break;
    case 'D': grid_move_relative(grid, 0, -n); break;
    case 'E': grid_move_to(grid, grid.row + n, 0); break;
    case 'F': grid_move_to(grid, grid.row - n, 0); break;
    case 'G': grid_move_to_column(grid, n - 1); break;
    case 'H':
    case 'f': grid_move_to(grid, n - 1, count_at(parser, 1) - 1); break;
    case 'K': grid_erase_in_line(grid, mode_at(parser, 0)); break;
    case 'J': grid_erase_in_display(grid, mode_at(parser, 0)); break;
    case 'd': grid_move_to_row(grid, n - 1); break;
    case 'L': grid_insert_rows(grid, n); break;
    case 'M': grid_delete_rows(grid, n); break;
    case 'S': grid_scroll_up(grid, n); break;
    case 'T': grid_scroll_down(grid, n); break;
    case 'X': grid_erase_characters(grid, n); break;
    case '@': grid_insert_characters(grid, n); break;
    case 'P': grid_delete_characters(grid, n); break;
    case 's':
        if (parser.parameter_count == 0) grid_save_cursor(grid);
        break;
    case 'u':
        if (parser.parameter_count == 0) grid_restore_cursor(grid);
        break;
    default: break;  // every other control sequence is consumed
    }
}

void sequence_byte(AnsiParser& parser, Grid& grid, unsigned char byte)
{
    if (byte >= '0' && byte <= '9') add_digit(parser, byte);
    else if (byte == ';' || byte == ':') {
        if (parser.parameter_count == 0) add_parameter(parser, false);
        add_parameter(parser, byte == ':');
    } else if (byte == '?' && parser.parameter_count == 0 && !parser.private_sequence) {
        parser.private_sequence = true;
    } else if (byte >= 0x3c && byte <= 0x3f) parser.sequence_ignored = true;  // another private marker
    else if (byte >= 0x20 && byte <= 0x2f) parser.sequence_ignored = true;  // an intermediate
    else if (byte >= 0x40 && byte <= 0x7e) {
        if (!parser.sequence_ignored) dispatch(parser, grid, byte);
        parser.state = AnsiParser::TEXT;
    }
}

// Handles one byte; false when the byte ended what was going on and must be read again as text.
bool step(AnsiParser& parser, Grid& grid, unsigned char byte)
{
    using enum AnsiParser::State;
    if (parser.state == TEXT) {
        text_byte(parser, grid, byte);
        return true;
    }
    if (byte >= 0x80 && parser.state != STRING) {
        parser.state = TEXT;
        return false;
    }
    if (cancels(byte)) {
        parser.state = TEXT;
        return true;
    }
    switch (parser.state) {
    case ESCAPE:
        if (byte == '[') begin_sequence(parser);
        else if (byte == ']' || byte == 'P' || byte == 'X' || byte == '^' || byte == '_') parser.state = STRING;
        else if (byte >= 0x20 && byte <= 0x2f) {
            parser.state = ESCAPE_INTERMEDIATE;
            parser.intermediate = byte;
        } else if (byte >= 0x30 && byte <= 0x7e) {
            parser.intermediate = 0;
            escape(parser, grid, byte);
            parser.state = TEXT;
        }
        break;
    case ESCAPE_INTERMEDIATE:
        if (byte == ESC) parser.state = ESCAPE;
        else if (byte >= 0x30 && byte <= 0x7e) {
            escape(parser, grid, byte);
            parser.state = TEXT;
        }
        break;
    case SEQUENCE:
        if (byte == ESC) parser.state = ESCAPE;
        else sequence_byte(parser, grid, byte);
        break;
    case STRING:
        if (byte == BEL) parser.state = TEXT;
        else if (byte == ESC) parser.state = STRING_ESCAPE;
        break;
    case STRING_ESCAPE:
        // ESC \ ends the string; any other escape ends it too and begins anew.
        parser.state = ESCAPE;
        if (byte != '\\') return false;
        parser.state = TEXT;
        break;
    case TEXT:
        break;
    }
    return true;
}

}  // namespace


void ansi_feed(AnsiParser& parser, Grid& grid, std::string_view bytes)
{
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        while (!step(parser, grid, byte)) {
        }
    }
    grid_settle(grid);
}

void ansi_read(Grid& grid, FILE* stream)
{
    AnsiParser parser;
    std::array<char, 1 << 16> buffer;
    for (;;) {
        const size_t read = std::fread(buffer.data(), 1, buffer.size(), stream);
        if (read == 0) return;
        ansi_feed(parser, grid, std::string_view(buffer.data(), read));
    }
}

}  // namespace vedad
