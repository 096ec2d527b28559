#include "animation/screen_cells.hpp"

#include <algorithm>
#include <cstring>

namespace vedad {

namespace {

Cell space(Rgb foreground, Rgb background)
{
    Cell cell;
    cell.foreground = foreground;
    cell.background = background;
    return cell;
}

}  // namespace

ScreenCells make_screen_cells(int32_t most_columns, int32_t most_rows)
{
    ScreenCells screen;
    screen.stride = most_columns;
    screen.cells.resize(static_cast<size_t>(most_columns) * static_cast<size_t>(most_rows));
    screen.long_texts.resize(screen.cells.size());
    screen.fills_to_edge.resize(static_cast<size_t>(most_rows));
    screen.edge_colors.resize(static_cast<size_t>(most_rows));
    return screen;
}

void take_screen(ScreenCells& screen, Grid& grid)
{
    grid_settle(grid);
    const auto most_rows = static_cast<int32_t>(screen.cells.size() / static_cast<size_t>(screen.stride));
    screen.columns = std::min(grid.width, screen.stride);
    screen.rows = std::min(grid.height, most_rows);
    std::fill(screen.fills_to_edge.begin(), screen.fills_to_edge.end(), false);
    Cell unwritten;
    unwritten.length = 0;
    for (int32_t r = 0; r < screen.rows; ++r) {
        Cell* out = screen.cells.data() + static_cast<size_t>(r) * static_cast<size_t>(screen.stride);
        const auto columns = static_cast<size_t>(screen.columns);
        if (static_cast<size_t>(r) >= grid.rows.size()) {
            std::fill(out, out + columns, unwritten);
            continue;
        }
        const Row& row = grid.rows[static_cast<size_t>(r)];
        const size_t written = std::min(row.cells.size(), columns);
        std::copy_n(row.cells.begin(), written, out);
        for (size_t c = 0; c < written; ++c) {
            if (out[c].length == Cell::LONG_TEXT) {
                screen.long_texts[static_cast<size_t>(out - screen.cells.data()) + c] = cell_text(row, out[c]);
            }
        }
        // Cells erased in the page's own colours show nothing, as cells nothing wrote.
        if (row.erased_background == grid.default_background) {
            std::fill(out + written, out + columns, unwritten);
            continue;
        }
        const Cell erased = space(grid.default_foreground, row.erased_background);
        const size_t erased_end = std::clamp<size_t>(static_cast<size_t>(std::max(row.length, 0)), written, columns);
        std::fill(out + written, out + erased_end, erased);
        // An erase that reached the terminal's edge fills the row to the picture's.
        std::fill(out + erased_end, out + columns, row.erased_to_edge ? erased : unwritten);
        if (row.erased_to_edge) {
            screen.fills_to_edge[static_cast<size_t>(r)] = true;
            screen.edge_colors[static_cast<size_t>(r)] = row.erased_background;
        }
    }
}

bool same_cell(const ScreenCells& a, const ScreenCells& b, int32_t row, int32_t column)
{
    const Cell& x = a.at(row, column);
    const Cell& y = b.at(row, column);
    return x.length == y.length && x.flags == y.flags && x.foreground == y.foreground &&
           x.background == y.background && x.lines == y.lines && a.text(row, column) == b.text(row, column);
}

CellArea changed_cells(const ScreenCells& before, const ScreenCells& after)
{
    if (before.columns != after.columns || before.rows != after.rows) {
        const int32_t rows = std::max(before.rows, after.rows);
        const int32_t columns = std::max(before.columns, after.columns);
        return CellArea{0, rows - 1, 0, columns - 1};
    }
    CellArea area{after.rows, -1, after.columns, -1};
    for (int32_t r = 0; r < after.rows; ++r) {
        const auto row = static_cast<size_t>(r);
        const bool same_edge = before.fills_to_edge[row] == after.fills_to_edge[row] &&
                               (!after.fills_to_edge[row] || before.edge_colors[row] == after.edge_colors[row]);
        for (int32_t c = 0; c < after.columns; ++c) {
            // A fill past the last cell changes with it.
            const bool edge = !same_edge && c == after.columns - 1;
            if (!edge && same_cell(before, after, r, c)) continue;
            area.first_row = std::min(area.first_row, r);
            area.last_row = r;
            area.first_column = std::min(area.first_column, c);
            area.last_column = std::max(area.last_column, c);
        }
    }
    if (area.last_row < 0) return CellArea{};
    return area;
}

}  // namespace vedad
