#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "readers/grapheme_cluster.hpp"
#include "readers/terminal/ansi_style.hpp"

namespace vedad {

// The cursor's row and column never go past this: moves further are held here, and text
// written at the last column overwrites it. Positions are counted, never allocated.
inline constexpr int32_t GRID_POSITION_LIMIT = (1 << 30) - 1;

// Room for the UTF-8 text of most grapheme clusters in the cell itself: a character and the
// marks that join it, a flag, a skin tone, a keycap. Longer ones (a ZWJ family, a flag of tags,
// up to CLUSTER_TEXT_LIMIT bytes) are kept in their row's `long_texts`, so that every cell
// stays small; code points past the limit are dropped.
inline constexpr size_t CELL_TEXT_CAPACITY = 12;

// One cell of the screen.
struct Cell {
    enum Flags : uint8_t {
        UNDERLINE = 1,
        WIDE = 2,
        WIDE_TAIL = 4,
        DOUBLE_UNDERLINE = 8,
        STRIKE = 16,
        OVERLINE = 32,
        LINES = UNDERLINE | DOUBLE_UNDERLINE | STRIKE | OVERLINE,
        BOLD = 64,  // drawn in the bold face
        ITALIC = 128,
    };
    // A length that says the text is in the row's long_texts, at the index held in `text`.
    static constexpr uint8_t LONG_TEXT = 0xFF;
    std::array<char, CELL_TEXT_CAPACITY + 1> text{' '};  // ends in a NUL
    uint8_t length = 1;  // bytes of text used, or LONG_TEXT
    uint8_t flags = 0;   // WIDE: the glyph covers this cell and the next, the WIDE_TAIL
    Rgb foreground{};
    Rgb background{};
    Rgb lines{};  // the colour of its underline, overline and strike-through
};

// One kept row: the cells written one by one, then, up to `length`, spaces that an erase
// left in `erased_background` (so that erasing a row costs nothing per cell).
struct Row {
    std::vector<Cell> cells;
    int32_t length = 0;
    Rgb erased_background{};
    bool erased_to_edge = false;  // the erase reached the terminal's right edge, past `length`
    uint32_t erasures_seen = 0;  // the grid's erasures of the whole display this row has taken
    bool continued = false;      // text wrapped onto it from the row above
    // The texts of its cells that are longer than a cell holds, by the index the cell keeps.
    // Texts no cell refers to any more are dropped when the table outgrows the row.
    std::vector<std::string> long_texts;
};

// The text of `cell` of `row`, NUL-terminated.
std::string_view cell_text(const Row& row, const Cell& cell);
const char* cell_c_str(const Row& row, const Cell& cell);

// Which cells are kept: rows [0, rows) and columns [0, columns). Cells outside are counted
// in the grid's reach but never stored, so memory follows what can reach the image.
struct GridLimits {
    int32_t rows = 0;
    int32_t columns = 0;
};

// The screen a terminal would show: kept cells, the cursor and the current style. Rows grow
// as text reaches them; a cell inside a row's written range that nothing wrote is a space in
// the default colours.
struct Grid {
    GridLimits kept;
    Rgb default_foreground = rgb_of_hex(0xffffff);
    Rgb default_background = rgb_of_hex(0x000000);
    BasicColors basic = XTERM_BASIC_COLORS;  // the theme's 16 colours
    int32_t tab_width = 8;
    // The terminal's width in columns, 0 for none: text wraps as xterm wraps it. A character
    // written in the last column leaves the cursor there with a wrap pending, and the next
    // character goes to the start of the next row; a cursor move or a carriage return ends it.
    int32_t width = 0;
    bool wrap_pending = false;
    // The terminal's height in rows, 0 for none: a row that goes down past the last one
    // scrolls the screen up, its first row gone, and moves are held inside it.
    int32_t height = 0;

    Style style;
    int32_t row = 0;
    int32_t column = 0;
    // The kept rows up to the last one written, each up to the kept columns; a deque, so that
    // a screen scrolls in a step.
    std::deque<Row> rows;
    // Erasing the whole display costs nothing per row: each row takes the last such erasure
    // (its background) when it is next touched, or when the grid settles.
    uint32_t display_erasures = 0;
    Rgb display_erased_background{};

    // The cursor and style kept by a save (ESC 7, CSI s) for the next restore.
    int32_t saved_row = 0;
    int32_t saved_column = 0;
    Style saved_style;
    // The main screen, kept while a program draws on the alternate one.
    bool on_alternate_screen = false;
    std::deque<Row> main_rows;
    int64_t main_longest_row = 0;
    int64_t main_first_row = -1;
    int64_t main_last_row = -1;

    // What the written cells reach, kept or not: the longest row and the first and last row
    // that hold a cell (-1 while none does).
    int64_t longest_row = 0;
    int64_t first_row = -1;
    int64_t last_row = -1;

    // A deletion of rows or characters moved text written past the kept cells into them:
    // those cells show as blank, where a grid keeping everything would show the text.
    bool unkept_text_moved_in = false;

    // With a height, what the screen reaches is what its rows reach now: how far each row
    // reaches, kept or not, the screen's first row at `screen_top` (rows that scroll away cost
    // nothing per row); the three above are taken from it when the grid settles.
    std::vector<int64_t> screen_reach;
    size_t screen_top = 0;
    std::vector<int64_t> main_screen_reach;  // the main screen's, while on the alternate one
    size_t main_screen_top = 0;
};

Grid make_grid(GridLimits kept, Rgb default_foreground, Rgb default_background, int32_t tab_width,
               int32_t width = 0);

// Writes one character or grapheme cluster (its UTF-8 text) at the cursor, `width` cells wide
// (1 or 2), and moves the cursor past it; gives the column it was written at.
int32_t grid_put(Grid& grid, std::string_view text, int width);

// Joins a zero-width character to the cell before the cursor; dropped at the start of a row.
void grid_join(Grid& grid, std::string_view text);

void grid_carriage_return(Grid& grid);
void grid_line_feed(Grid& grid);  // down a row, to column 0
void grid_backspace(Grid& grid);
void grid_tab(Grid& grid);        // to the next multiple of tab_width; nothing when it is 0 or less

// Cursor moves of CSI A-H and f, with their counts as given (0 counts as 1). Moves are held
// inside the grid's top-left corner and the position limit.
void grid_move_relative(Grid& grid, int64_t rows, int64_t columns);
void grid_move_to(Grid& grid, int64_t row, int64_t column);  // 0-based
void grid_move_to_column(Grid& grid, int64_t column);

// CSI K (0: from the cursor to the end of the row, 1: from its start to the cursor, 2: all of
// it) and CSI J (0: from the cursor to the end, 1: from the start to the cursor, 2: all).
// Erased cells become spaces in the style's background; erasing never lengthens a row.
void grid_erase_in_line(Grid& grid, int32_t mode);
void grid_erase_in_display(Grid& grid, int32_t mode);

// ESC 7 and CSI s save the cursor (and ESC 7 the style); ESC 8 and CSI u bring it back.
void grid_save_cursor(Grid& grid);
void grid_restore_cursor(Grid& grid);

// CSI d: the cursor to row `row` (0-based) of its column.
void grid_move_to_row(Grid& grid, int64_t row);

// CSI X: `count` cells from the cursor become erased spaces, nothing moves.
void grid_erase_characters(Grid& grid, int64_t count);

// CSI @ and CSI P: `count` blank cells inserted at the cursor, the rest of the row moving
// right, or `count` cells deleted there, the rest moving left.
void grid_insert_characters(Grid& grid, int64_t count);
void grid_delete_characters(Grid& grid, int64_t count);

// CSI L and CSI M: `count` blank rows inserted at the cursor's row, the rows below moving
// down, or `count` rows deleted there, the rows below moving up; the cursor goes to the
// row's start. CSI S and CSI T: the whole screen scrolled up (its first rows gone) or down
// (blank rows at the top) by `count` rows.
void grid_insert_rows(Grid& grid, int64_t count);
void grid_delete_rows(Grid& grid, int64_t count);
void grid_scroll_up(Grid& grid, int64_t count);
void grid_scroll_down(Grid& grid, int64_t count);

// CSI ?1049h, ?1047h, ?47h and their l: the alternate screen, on which a full-screen program
// draws; what it drew there is gone when it leaves, and the main screen shows again.
void grid_enter_alternate_screen(Grid& grid);
void grid_leave_alternate_screen(Grid& grid);

// A resize of the terminal to `width` columns and `height` rows (both from 1), as xterm
// makes it: a shorter screen keeps the rows down to the cursor's, the rows above it scrolling
// away; a narrower one cuts its rows at the new edge; nothing is wrapped again. The cursor
// is held inside the new size.
void grid_resize(Grid& grid, int32_t width, int32_t height);

// Brings every kept row up to date with the erasures of the whole display, and with a height
// the reach up to date with the screen, so that the rows can be read as they are.
void grid_settle(Grid& grid);

}  // namespace vedad
