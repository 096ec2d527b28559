#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "readers/terminal/ansi_grid.hpp"

namespace vedad {

// The cells a terminal shows at one time, every one of them explicit: what a frame draws, and
// what the next frame is compared with.
struct ScreenCells {
    int32_t columns = 0;  // the terminal's size now
    int32_t rows = 0;
    int32_t stride = 0;   // cells kept a row: the most columns the terminal takes
    // Cells nothing drew have a length of 0: they show the page, and whatever ink reaches
    // them from their neighbours.
    std::vector<Cell> cells;
    // For each cell whose text is longer than a cell holds (Cell::LONG_TEXT), that text.
    std::vector<std::string> long_texts;
    // Rows filled past their cells to the picture's right edge by an erase, and in what colour.
    std::vector<bool> fills_to_edge;
    std::vector<Rgb> edge_colors;

    const Cell& at(int32_t row, int32_t column) const
    {
        return cells[static_cast<size_t>(row) * static_cast<size_t>(stride) + static_cast<size_t>(column)];
    }

    // The cell's text, NUL-terminated.
    std::string_view text(int32_t row, int32_t column) const
    {
        const size_t at = static_cast<size_t>(row) * static_cast<size_t>(stride) + static_cast<size_t>(column);
        if (cells[at].length == Cell::LONG_TEXT) return long_texts[at];
        return std::string_view(cells[at].text.data(), cells[at].length);
    }
};

// Rows and columns of cells, both ends included; empty when first_row > last_row.
struct CellArea {
    int32_t first_row = 0;
    int32_t last_row = -1;
    int32_t first_column = 0;
    int32_t last_column = -1;

    bool empty() const { return first_row > last_row; }
};

// Room for a terminal of up to `most_columns` by `most_rows`.
ScreenCells make_screen_cells(int32_t most_columns, int32_t most_rows);

// Takes what the grid (with a width and a height) shows now, as the still page of terminal
// output draws it: each row's written cells and its erased ones.
void take_screen(ScreenCells& screen, Grid& grid);

// Whether the cell at `row` and `column` shows the same in both screens.
bool same_cell(const ScreenCells& a, const ScreenCells& b, int32_t row, int32_t column);

// The cells that differ between two screens; all of both when the terminal changed size.
CellArea changed_cells(const ScreenCells& before, const ScreenCells& after);

}  // namespace vedad
