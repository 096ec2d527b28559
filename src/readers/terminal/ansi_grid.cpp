#include "readers/terminal/ansi_grid.hpp"

#include <algorithm>
#include <cstring>

namespace vedad {

namespace {

int32_t held(int64_t position)
{
    return static_cast<int32_t>(std::clamp<int64_t>(position, 0, GRID_POSITION_LIMIT));
}

Cell space(Rgb foreground, Rgb background)
{
    Cell cell;
    cell.foreground = foreground;
    cell.background = background;
    return cell;
}

// Makes the cells of `row` explicit up to `end` (at most its kept columns): erased spaces up
// to its length, then spaces in the default colours for cells nothing wrote.
void materialize(const Grid& grid, Row& row, int32_t end)
{
    if (static_cast<int32_t>(row.cells.size()) >= end) return;
    const int32_t erased_end = std::min(row.length, end);
    row.cells.reserve(static_cast<size_t>(end));
    while (static_cast<int32_t>(row.cells.size()) < erased_end)
        row.cells.push_back(space(grid.default_foreground, row.erased_background));
    while (static_cast<int32_t>(row.cells.size()) < end)
        row.cells.push_back(space(grid.default_foreground, grid.default_background));
    row.length = std::max(row.length, end);
}

// A half of a wide character left alone becomes a space in its colours.
void make_plain_space(Cell& cell)
{
    cell.text = {' '};
    cell.length = 1;
    cell.flags &= Cell::UNDERLINE;
}

// Before cells [from, to) of a row change, splits the wide characters that straddle the ends.
void split_wide_at(Row& row, int32_t from, int32_t to)
{
    auto& cells = row.cells;
    const auto size = static_cast<int32_t>(cells.size());
    if (from > 0 && from < size && (cells[static_cast<size_t>(from)].flags & Cell::WIDE_TAIL) != 0)
        make_plain_space(cells[static_cast<size_t>(from) - 1]);
    if (to > 0 && to < size && (cells[static_cast<size_t>(to)].flags & Cell::WIDE_TAIL) != 0)
        make_plain_space(cells[static_cast<size_t>(to)]);
}

Row* kept_row(Grid& grid, int32_t row)
{
    if (row >= grid.kept.rows) return nullptr;
    if (static_cast<int32_t>(grid.rows.size()) <= row) grid.rows.resize(static_cast<size_t>(row) + 1);
    return &grid.rows[static_cast<size_t>(row)];
}

void note_reach(Grid& grid, int32_t row, int64_t end)
{
    grid.longest_row = std::max(grid.longest_row, end);
    grid.first_row = grid.first_row < 0 ? row : std::min<int64_t>(grid.first_row, row);
    grid.last_row = std::max<int64_t>(grid.last_row, row);
}

// Erases columns [from, to) of a kept row, held to what is written. Erasing up to the row's
// length only shortens its explicit cells.
void erase_columns(Grid& grid, Row& row, int64_t from, int64_t to)
{
    const int32_t start = static_cast<int32_t>(std::clamp<int64_t>(from, 0, row.length));
    const int32_t end = static_cast<int32_t>(std::clamp<int64_t>(to, 0, row.length));
    if (start >= end) return;
    const Rgb background = erase_color(grid.style, grid.basic, grid.default_background);
    split_wide_at(row, start, end);
    if (end == row.length) {
        if (start < static_cast<int32_t>(row.cells.size())) row.cells.resize(static_cast<size_t>(start));
        else materialize(grid, row, start);
        row.erased_background = background;
        return;
    }
    materialize(grid, row, end);
    for (int32_t column = start; column < end; ++column)
        row.cells[static_cast<size_t>(column)] = space(grid.default_foreground, background);
}

void erase_rows(Grid& grid, size_t from, size_t to)
{
    for (size_t row = from; row < std::min(to, grid.rows.size()); ++row)
        erase_columns(grid, grid.rows[row], 0, grid.rows[row].length);
}

}  // namespace

Grid make_grid(GridLimits kept, Rgb default_foreground, Rgb default_background, int32_t tab_width)
{
    Grid grid;
    grid.kept = kept;
    grid.default_foreground = default_foreground;
    grid.default_background = default_background;
    grid.tab_width = tab_width;
    return grid;
}

void grid_put(Grid& grid, std::string_view text, int width)
{
    const int32_t column = std::min(grid.column, GRID_POSITION_LIMIT + 1 - width);
    const int32_t row = grid.row;
    note_reach(grid, row, static_cast<int64_t>(column) + width);
    grid.column = held(static_cast<int64_t>(column) + width);

    Row* kept = kept_row(grid, row);
    if (kept == nullptr) return;
    if (column >= grid.kept.columns) {
        // The cells before it that nothing wrote still show, as spaces, up to the kept ones.
        materialize(grid, *kept, grid.kept.columns);
        return;
    }
    const int32_t end = std::min(column + width, grid.kept.columns);
    materialize(grid, *kept, end);
    split_wide_at(*kept, column, column + width);

    const ResolvedColors colors =
        resolve_colors(grid.style, grid.basic, grid.default_foreground, grid.default_background);
    const uint8_t underline = grid.style.underline ? Cell::UNDERLINE : 0;
    Cell& cell = kept->cells[static_cast<size_t>(column)];
    cell = space(colors.foreground, colors.background);
    cell.length = static_cast<uint8_t>(std::min(text.size(), CELL_TEXT_CAPACITY));
    std::memcpy(cell.text.data(), text.data(), cell.length);
    cell.flags = underline | (width == 2 ? Cell::WIDE : 0);
    if (width == 2 && column + 1 < end) {
        Cell& tail = kept->cells[static_cast<size_t>(column) + 1];
        tail = space(colors.foreground, colors.background);
        tail.flags = underline | Cell::WIDE_TAIL;
    }
}

void grid_join(Grid& grid, std::string_view text)
{
    if (grid.column == 0 || grid.row >= static_cast<int32_t>(grid.rows.size())) return;
    Row& row = grid.rows[static_cast<size_t>(grid.row)];
    size_t at = static_cast<size_t>(grid.column) - 1;
    if (at >= row.cells.size()) return;
    if ((row.cells[at].flags & Cell::WIDE_TAIL) != 0 && at > 0) --at;
    Cell& cell = row.cells[at];
    if (cell.length + text.size() > CELL_TEXT_CAPACITY) return;
    std::memcpy(cell.text.data() + cell.length, text.data(), text.size());
    cell.length = static_cast<uint8_t>(cell.length + text.size());
}

void grid_carriage_return(Grid& grid)
{
    grid.column = 0;
}

void grid_line_feed(Grid& grid)
{
    grid.row = held(static_cast<int64_t>(grid.row) + 1);
    grid.column = 0;
}

void grid_backspace(Grid& grid)
{
    grid.column = held(static_cast<int64_t>(grid.column) - 1);
}

void grid_tab(Grid& grid)
{
    if (grid.tab_width <= 0) return;
    grid.column = held((static_cast<int64_t>(grid.column) / grid.tab_width + 1) * grid.tab_width);
}

void grid_move_relative(Grid& grid, int64_t rows, int64_t columns)
{
    grid.row = held(grid.row + rows);
    grid.column = held(grid.column + columns);
}

void grid_move_to(Grid& grid, int64_t row, int64_t column)
{
    grid.row = held(row);
    grid.column = held(column);
}

void grid_move_to_column(Grid& grid, int64_t column)
{
    grid.column = held(column);
}

void grid_erase_in_line(Grid& grid, int32_t mode)
{
    if (grid.row >= static_cast<int32_t>(grid.rows.size())) return;
    Row& row = grid.rows[static_cast<size_t>(grid.row)];
    if (mode == 0) erase_columns(grid, row, grid.column, row.length);
    else if (mode == 1) erase_columns(grid, row, 0, static_cast<int64_t>(grid.column) + 1);
    else if (mode == 2) erase_columns(grid, row, 0, row.length);
}

void grid_erase_in_display(Grid& grid, int32_t mode)
{
    const auto row = static_cast<size_t>(grid.row);
    if (mode == 0) {
        grid_erase_in_line(grid, 0);
        erase_rows(grid, row + 1, grid.rows.size());
    } else if (mode == 1) {
        erase_rows(grid, 0, row);
        grid_erase_in_line(grid, 1);
    } else if (mode == 2) {
        erase_rows(grid, 0, grid.rows.size());
    }
}

}  // namespace vedad
