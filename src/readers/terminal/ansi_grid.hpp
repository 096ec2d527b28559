#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "readers/terminal/ansi_style.hpp"

namespace vedad {

// The cursor's row and column never go past this: moves further are held here, and text
// written at the last column overwrites it. Positions are counted, never allocated.
inline constexpr int32_t GRID_POSITION_LIMIT = (1 << 30) - 1;

// Room for one character and the combining marks that join it, in UTF-8; marks that do not
// fit are dropped.
inline constexpr size_t CELL_TEXT_CAPACITY = 12;

// One cell of the screen.
struct Cell {
    enum Flags : uint8_t { UNDERLINE = 1, WIDE = 2, WIDE_TAIL = 4 };
    std::array<char, CELL_TEXT_CAPACITY + 1> text{' '};  // ends in a NUL
    uint8_t length = 1;  // bytes of text used
    uint8_t flags = 0;   // WIDE: the glyph covers this cell and the next, the WIDE_TAIL
    Rgb foreground{};
    Rgb background{};

    std::string_view view() const { return std::string_view(text.data(), length); }
    const char* c_str() const { return text.data(); }
};

// One kept row: the cells written one by one, then, up to `length`, spaces that an erase
// left in `erased_background` (so that erasing a row costs nothing per cell).
struct Row {
    std::vector<Cell> cells;
    int32_t length = 0;
    Rgb erased_background{};
};

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

    Style style;
    int32_t row = 0;
    int32_t column = 0;
    std::vector<Row> rows;  // the kept rows up to the last one written, each up to the kept columns

    // What the written cells reach, kept or not: the longest row and the first and last row
    // that hold a cell (-1 while none does).
    int64_t longest_row = 0;
    int64_t first_row = -1;
    int64_t last_row = -1;
};

Grid make_grid(GridLimits kept, Rgb default_foreground, Rgb default_background, int32_t tab_width);

// Writes one character (its UTF-8 text) at the cursor, `width` cells wide (1 or 2), and moves
// the cursor past it.
void grid_put(Grid& grid, std::string_view text, int width);

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

}  // namespace vedad
