#include "readers/terminal/ansi_grid.hpp"

#include <algorithm>
#include <cstdlib>
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
    // Past an erase that reached the terminal's edge, the cells are that erase's.
    const Rgb beyond = row.erased_to_edge ? row.erased_background : grid.default_background;
    while (static_cast<int32_t>(row.cells.size()) < end) row.cells.push_back(space(grid.default_foreground, beyond));
    row.length = std::max(row.length, end);
}

size_t long_index(const Cell& cell)
{
    uint32_t index = 0;
    std::memcpy(&index, cell.text.data(), sizeof index);
    return index;
}

// Keeps only the long texts that cells of the row still refer to.
void drop_unused_long_texts(Row& row)
{
    std::vector<std::string> used;
    for (Cell& cell : row.cells) {
        if (cell.length != Cell::LONG_TEXT) continue;
        const auto index = static_cast<uint32_t>(used.size());
        used.push_back(std::move(row.long_texts[long_index(cell)]));
        std::memcpy(cell.text.data(), &index, sizeof index);
    }
    row.long_texts = std::move(used);
}

// Sets the text of `cell`, which holds a short text now, to `text` (cut to the longest a
// cluster is kept at): in the cell, or in the row's long texts.
void set_cell_text(Row& row, Cell& cell, std::string_view text)
{
    text = text.substr(0, CLUSTER_TEXT_LIMIT);
    cell.text.fill(0);
    if (text.size() <= CELL_TEXT_CAPACITY) {
        std::memcpy(cell.text.data(), text.data(), text.size());
        cell.length = static_cast<uint8_t>(text.size());
        return;
    }
    // Rewriting cells over and over leaves texts behind: the table never grows past the row.
    if (row.long_texts.size() >= std::max<size_t>(row.cells.size(), 8)) drop_unused_long_texts(row);
    const auto index = static_cast<uint32_t>(row.long_texts.size());
    row.long_texts.emplace_back(text);
    std::memcpy(cell.text.data(), &index, sizeof index);
    cell.length = Cell::LONG_TEXT;
}

// A half of a wide character left alone becomes a space in its colours.
void make_plain_space(Cell& cell)
{
    cell.text = {' '};
    cell.length = 1;
    cell.flags &= Cell::LINES;
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

// Applies the last erasure of the whole display the row has not taken: all its cells become
// erased spaces, its length stays.
Row& caught_up(Grid& grid, Row& row)
{
    if (row.erasures_seen == grid.display_erasures) return row;
    row.erasures_seen = grid.display_erasures;
    if (row.length > 0) {
        row.cells.clear();
        row.erased_background = grid.display_erased_background;
        row.erased_to_edge = true;
    }
    return row;
}

// A column the cursor may stand in: inside the terminal's width, where it has one.
int32_t held_column(const Grid& grid, int64_t column)
{
    const int32_t column_held = held(column);
    return grid.width > 0 ? std::min(column_held, grid.width - 1) : column_held;
}

// A row the cursor may stand in: inside the terminal's height, where it has one.
int32_t held_row(const Grid& grid, int64_t row)
{
    const int32_t row_held = held(row);
    return grid.height > 0 ? std::min(row_held, grid.height - 1) : row_held;
}

// Down one row; at the bottom of a terminal with a height the screen scrolls up instead.
void move_down(Grid& grid)
{
    if (grid.height > 0 && grid.row >= grid.height - 1) {
        grid_scroll_up(grid, 1);
        grid.row = grid.height - 1;
        return;
    }
    grid.row = held(static_cast<int64_t>(grid.row) + 1);
}

Row* kept_row(Grid& grid, int32_t row)
{
    if (row >= grid.kept.rows) return nullptr;
    if (static_cast<int32_t>(grid.rows.size()) <= row) grid.rows.resize(static_cast<size_t>(row) + 1);
    return &caught_up(grid, grid.rows[static_cast<size_t>(row)]);
}

// How far a row of a screen with a height reaches.
int64_t& screen_reach_of(Grid& grid, int64_t row)
{
    if (grid.screen_reach.empty()) grid.screen_reach.assign(static_cast<size_t>(grid.height), 0);
    return grid.screen_reach[(grid.screen_top + static_cast<size_t>(row)) % grid.screen_reach.size()];
}

void note_reach(Grid& grid, int32_t row, int64_t end)
{
    if (grid.height > 0) {
        if (row < grid.height) screen_reach_of(grid, row) = std::max(screen_reach_of(grid, row), end);
        return;
    }
    grid.longest_row = std::max(grid.longest_row, end);
    grid.first_row = grid.first_row < 0 ? row : std::min<int64_t>(grid.first_row, row);
    grid.last_row = std::max<int64_t>(grid.last_row, row);
}

void settle_rows(Grid& grid)
{
    for (Row& row : grid.rows) caught_up(grid, row);
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
    for (size_t row = from; row < std::min(to, grid.rows.size()); ++row) {
        Row& erased = caught_up(grid, grid.rows[row]);
        erase_columns(grid, erased, 0, erased.length);
    }
}

}  // namespace

Grid make_grid(GridLimits kept, Rgb default_foreground, Rgb default_background, int32_t tab_width, int32_t width)
{
    Grid grid;
    grid.width = std::max(width, 0);
    grid.kept = kept;
    grid.default_foreground = default_foreground;
    grid.default_background = default_background;
    grid.tab_width = tab_width;
    return grid;
}

int32_t grid_put(Grid& grid, std::string_view text, int width)
{
    if (grid.width > 0 && (grid.wrap_pending || (grid.column + width > grid.width && grid.column > 0))) {
        grid.wrap_pending = false;
        move_down(grid);
        grid.column = 0;
        if (Row* next = kept_row(grid, grid.row)) next->continued = true;
    }
    const int32_t column = std::min(grid.column, GRID_POSITION_LIMIT + 1 - width);
    const int32_t row = grid.row;
    note_reach(grid, row, static_cast<int64_t>(column) + width);
    grid.column = held(static_cast<int64_t>(column) + width);
    if (grid.width > 0 && grid.column >= grid.width) {
        grid.column = grid.width - 1;
        grid.wrap_pending = true;
    }

    Row* kept = kept_row(grid, row);
    if (kept == nullptr) return column;
    if (column >= grid.kept.columns) {
        // The cells before it that nothing wrote still show, as spaces, up to the kept ones.
        materialize(grid, *kept, grid.kept.columns);
        return column;
    }
    const int32_t end = std::min(column + width, grid.kept.columns);
    materialize(grid, *kept, end);
    split_wide_at(*kept, column, column + width);

    const ResolvedColors colors = resolve_colors(grid.style, grid.basic, grid.default_foreground, grid.default_background);
    const Style& style = grid.style;
    // The lines drawn across the cell and the face its text is drawn in.
    const auto marks = static_cast<uint8_t>((style.underline ? Cell::UNDERLINE : 0) |
                                            (style.double_underline ? Cell::DOUBLE_UNDERLINE : 0) |
                                            (style.strike ? Cell::STRIKE : 0) | (style.overline ? Cell::OVERLINE : 0) |
                                            (style.bold ? Cell::BOLD : 0) | (style.italic ? Cell::ITALIC : 0));
    Cell& cell = kept->cells[static_cast<size_t>(column)];
    cell = space(colors.foreground, colors.background);
    cell.lines = colors.lines;
    // Concealed text shows its cells' background alone.
    if (!style.conceal) set_cell_text(*kept, cell, text);
    cell.flags = static_cast<uint8_t>(marks | (width == 2 && !style.conceal ? Cell::WIDE : 0));
    if (width == 2 && column + 1 < end) {
        Cell& tail = kept->cells[static_cast<size_t>(column) + 1];
        tail = space(colors.foreground, colors.background);
        tail.lines = colors.lines;
        tail.flags = static_cast<uint8_t>(marks | (style.conceal ? 0 : Cell::WIDE_TAIL));
    }
    return column;
}

void grid_join(Grid& grid, std::string_view text)
{
    // With a wrap pending the character before the cursor is the one under it.
    const int32_t after = grid.wrap_pending ? grid.column + 1 : grid.column;
    if (after == 0 || grid.row >= static_cast<int32_t>(grid.rows.size())) return;
    Row& row = caught_up(grid, grid.rows[static_cast<size_t>(grid.row)]);
    size_t at = static_cast<size_t>(after) - 1;
    if (at >= row.cells.size()) return;
    if ((row.cells[at].flags & Cell::WIDE_TAIL) != 0 && at > 0) --at;
    Cell& cell = row.cells[at];
    const std::string_view before = cell_text(row, cell);
    if (before.size() + text.size() > CLUSTER_TEXT_LIMIT) return;
    if (cell.length == Cell::LONG_TEXT) {
        row.long_texts[long_index(cell)].append(text);
    } else if (before.size() + text.size() <= CELL_TEXT_CAPACITY) {
        std::memcpy(cell.text.data() + cell.length, text.data(), text.size());
        cell.length = static_cast<uint8_t>(cell.length + text.size());
    } else {
        const std::string joined = std::string(before).append(text);
        set_cell_text(row, cell, joined);
    }
}

void grid_carriage_return(Grid& grid)
{
    grid.wrap_pending = false;
    grid.column = 0;
}

void grid_line_feed(Grid& grid)
{
    grid.wrap_pending = false;
    move_down(grid);
    grid.column = 0;
}

void grid_backspace(Grid& grid)
{
    grid.wrap_pending = false;
    grid.column = held_column(grid, static_cast<int64_t>(grid.column) - 1);
}

void grid_tab(Grid& grid)
{
    if (grid.tab_width <= 0) return;
    grid.column = held_column(grid, (static_cast<int64_t>(grid.column) / grid.tab_width + 1) * grid.tab_width);
}

void grid_move_relative(Grid& grid, int64_t rows, int64_t columns)
{
    grid.wrap_pending = false;
    grid.row = held_row(grid, grid.row + rows);
    grid.column = held_column(grid, grid.column + columns);
}

void grid_move_to(Grid& grid, int64_t row, int64_t column)
{
    grid.wrap_pending = false;
    grid.row = held_row(grid, row);
    grid.column = held_column(grid, column);
}

void grid_move_to_column(Grid& grid, int64_t column)
{
    grid.wrap_pending = false;
    grid.column = held_column(grid, column);
}

void grid_erase_in_line(Grid& grid, int32_t mode)
{
    // An erase to the end of the row reaches the terminal's edge, in the colour of the moment.
    if (mode == 0 || mode == 2) {
        const int32_t from = mode == 2 ? 0 : grid.column;
        const Rgb background = erase_color(grid.style, grid.basic, grid.default_background);
        if (background == grid.default_background && grid.row >= static_cast<int32_t>(grid.rows.size())) return;
        Row* kept = kept_row(grid, grid.row);
        if (kept == nullptr) return;
        if (from < kept->length) {
            erase_columns(grid, *kept, from, kept->length);
        } else if (background != grid.default_background) {
            // The cells before the erase stay as nothing wrote them; the colour begins at it.
            materialize(grid, *kept, std::min(from, grid.kept.columns));
        }
        kept->erased_background = background;
        kept->erased_to_edge = true;
        return;
    }
    if (grid.row >= static_cast<int32_t>(grid.rows.size())) return;
    Row& row = caught_up(grid, grid.rows[static_cast<size_t>(grid.row)]);
    if (mode == 1) erase_columns(grid, row, 0, static_cast<int64_t>(grid.column) + 1);
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
        ++grid.display_erasures;
        grid.display_erased_background = erase_color(grid.style, grid.basic, grid.default_background);
    }
}

void grid_settle(Grid& grid)
{
    settle_rows(grid);
    if (grid.height <= 0 || grid.screen_reach.empty()) return;
    grid.longest_row = 0;
    grid.first_row = -1;
    grid.last_row = -1;
    for (int32_t row = 0; row < grid.height; ++row) {
        const int64_t reach = screen_reach_of(grid, row);
        if (reach <= 0) continue;
        grid.longest_row = std::max(grid.longest_row, reach);
        if (grid.first_row < 0) grid.first_row = row;
        grid.last_row = row;
    }
}

void grid_save_cursor(Grid& grid)
{
    grid.saved_row = grid.row;
    grid.saved_column = grid.column;
    grid.saved_style = grid.style;
}

void grid_restore_cursor(Grid& grid)
{
    grid.wrap_pending = false;
    grid.row = grid.saved_row;
    grid.column = grid.saved_column;
    grid.style = grid.saved_style;
}

void grid_move_to_row(Grid& grid, int64_t row)
{
    grid.wrap_pending = false;
    grid.row = held_row(grid, row);
}

void grid_erase_characters(Grid& grid, int64_t count)
{
    if (grid.row >= static_cast<int32_t>(grid.rows.size())) return;
    Row& row = caught_up(grid, grid.rows[static_cast<size_t>(grid.row)]);
    const int64_t end = std::min<int64_t>(static_cast<int64_t>(grid.column) + count, row.length);
    if (end <= grid.column) return;
    erase_columns(grid, row, grid.column, end);
}

void grid_insert_characters(Grid& grid, int64_t count)
{
    if (grid.row >= static_cast<int32_t>(grid.rows.size())) return;
    Row& row = caught_up(grid, grid.rows[static_cast<size_t>(grid.row)]);
    if (grid.column >= row.length) return;
    const int32_t column = grid.column;
    materialize(grid, row, std::min(row.length, grid.kept.columns));
    if (column >= static_cast<int32_t>(row.cells.size())) return;
    split_wide_at(row, column, column);
    const auto shift = static_cast<size_t>(std::min<int64_t>(count, grid.kept.columns));
    const Rgb background = erase_color(grid.style, grid.basic, grid.default_background);
    row.cells.insert(row.cells.begin() + column, shift, space(grid.default_foreground, background));
    if (row.cells.size() > static_cast<size_t>(grid.kept.columns)) row.cells.resize(static_cast<size_t>(grid.kept.columns));
    row.length = static_cast<int32_t>(std::min<int64_t>(int64_t{row.length} + count, grid.kept.columns));
    note_reach(grid, grid.row, row.length);
}

void grid_delete_characters(Grid& grid, int64_t count)
{
    if (grid.row >= static_cast<int32_t>(grid.rows.size())) return;
    Row& row = caught_up(grid, grid.rows[static_cast<size_t>(grid.row)]);
    if (grid.column >= row.length) return;
    const int32_t column = grid.column;
    const int32_t end = static_cast<int32_t>(std::min<int64_t>(int64_t{column} + count, row.length));
    if (row.length > grid.kept.columns) grid.unkept_text_moved_in = true;
    materialize(grid, row, std::min(row.length, grid.kept.columns));
    split_wide_at(row, column, end);
    const auto size = static_cast<int32_t>(row.cells.size());
    if (column < size) row.cells.erase(row.cells.begin() + column, row.cells.begin() + std::min(end, size));
    row.length -= end - column;
}

void grid_enter_alternate_screen(Grid& grid)
{
    if (grid.on_alternate_screen) return;
    grid_settle(grid);
    grid.on_alternate_screen = true;
    grid.main_rows = std::move(grid.rows);
    grid.rows.clear();
    grid.main_longest_row = grid.longest_row;
    grid.main_first_row = grid.first_row;
    grid.main_last_row = grid.last_row;
    grid.main_screen_reach = std::move(grid.screen_reach);
    grid.screen_reach.clear();
    grid.main_screen_top = grid.screen_top;
    grid.screen_top = 0;
}

void grid_leave_alternate_screen(Grid& grid)
{
    if (!grid.on_alternate_screen) return;
    grid.on_alternate_screen = false;
    grid.rows = std::move(grid.main_rows);
    grid.main_rows.clear();
    for (Row& row : grid.rows) row.erasures_seen = grid.display_erasures;  // erased on the other screen only
    grid.longest_row = grid.main_longest_row;
    grid.first_row = grid.main_first_row;
    grid.last_row = grid.main_last_row;
    grid.screen_reach = std::move(grid.main_screen_reach);
    grid.main_screen_reach.clear();
    grid.screen_top = grid.main_screen_top;
}

namespace {

// The reach of a screen with a height when `count` rows are inserted before row `at`, or
// `-count` removed there. A scroll of the whole screen moves its first row on.
void shift_screen_reach(Grid& grid, int32_t at, int64_t count)
{
    if (grid.height <= 0 || grid.screen_reach.empty()) return;
    const int64_t height = grid.height;
    if (at == 0 && count < 0 && -count < height) {
        for (int64_t row = 0; row < -count; ++row) {
            screen_reach_of(grid, 0) = 0;
            grid.screen_top = (grid.screen_top + 1) % grid.screen_reach.size();
        }
        return;
    }
    std::vector<int64_t> rows(static_cast<size_t>(height));
    for (int64_t row = 0; row < height; ++row) rows[static_cast<size_t>(row)] = screen_reach_of(grid, row);
    const auto first = rows.begin() + std::min<int64_t>(at, height);
    const int64_t moved = std::min<int64_t>(std::abs(count), height - std::min<int64_t>(at, height));
    if (count > 0) rows.insert(first, static_cast<size_t>(moved), 0);
    else rows.erase(first, first + static_cast<ptrdiff_t>(moved));
    rows.resize(static_cast<size_t>(height), 0);
    grid.screen_reach = std::move(rows);
    grid.screen_top = 0;
}

// Inserts `count` blank rows before kept row `at`, or removes `-count` rows there; the rows
// past the kept ones fall off, and the reach follows the rows that moved.
void shift_rows(Grid& grid, int32_t at, int64_t count)
{
    shift_screen_reach(grid, at, count);
    settle_rows(grid);
    if (at >= static_cast<int32_t>(grid.rows.size())) return;
    const auto first = grid.rows.begin() + at;
    if (count > 0) {
        const auto inserted = static_cast<size_t>(std::min<int64_t>(count, grid.kept.rows));
        Row blank;
        blank.erasures_seen = grid.display_erasures;
        grid.rows.insert(first, inserted, blank);
        if (grid.rows.size() > static_cast<size_t>(grid.kept.rows)) grid.rows.resize(static_cast<size_t>(grid.kept.rows));
        if (grid.height > 0 && grid.rows.size() > static_cast<size_t>(grid.height))
            grid.rows.resize(static_cast<size_t>(grid.height));
        if (grid.last_row >= at) grid.last_row = std::min<int64_t>(grid.last_row + count, GRID_POSITION_LIMIT);
    } else {
        if (grid.last_row >= grid.kept.rows) grid.unkept_text_moved_in = true;
        const auto removed = static_cast<size_t>(std::min<int64_t>(-count, static_cast<int64_t>(grid.rows.size()) - at));
        grid.rows.erase(first, first + static_cast<ptrdiff_t>(removed));
        if (grid.last_row >= at) grid.last_row = std::max<int64_t>(grid.last_row + count, at - 1);
    }
}

}  // namespace

void grid_insert_rows(Grid& grid, int64_t count)
{
    shift_rows(grid, grid.row, count);
    grid.column = 0;
    grid.wrap_pending = false;
}

void grid_delete_rows(Grid& grid, int64_t count)
{
    shift_rows(grid, grid.row, -count);
    grid.column = 0;
    grid.wrap_pending = false;
}

void grid_scroll_up(Grid& grid, int64_t count)
{
    shift_rows(grid, 0, -count);
}

void grid_scroll_down(Grid& grid, int64_t count)
{
    shift_rows(grid, 0, count);
}

std::string_view cell_text(const Row& row, const Cell& cell)
{
    if (cell.length == Cell::LONG_TEXT) return row.long_texts[long_index(cell)];
    return std::string_view(cell.text.data(), cell.length);
}

const char* cell_c_str(const Row& row, const Cell& cell)
{
    return cell.length == Cell::LONG_TEXT ? row.long_texts[long_index(cell)].c_str() : cell.text.data();
}

void grid_resize(Grid& grid, int32_t width, int32_t height)
{
    settle_rows(grid);
    grid.wrap_pending = false;
    if (grid.height > 0 && height < grid.height && grid.row >= height) {
        const int32_t gone = grid.row - (height - 1);
        grid_scroll_up(grid, gone);
        grid.row -= gone;
    }
    if (!grid.screen_reach.empty()) {
        std::vector<int64_t> reach(static_cast<size_t>(height), 0);
        for (int32_t row = 0; row < std::min(height, grid.height); ++row)
            reach[static_cast<size_t>(row)] = screen_reach_of(grid, row);
        grid.screen_reach = std::move(reach);
        grid.screen_top = 0;
    }
    // The main screen, kept while the alternate one shows, is measured again when it returns.
    grid.main_screen_reach.clear();
    grid.main_screen_top = 0;
    grid.height = height;
    for (std::deque<Row>* rows : {&grid.rows, &grid.main_rows}) {
        if (rows->size() > static_cast<size_t>(height)) rows->resize(static_cast<size_t>(height));
        if (grid.width > 0 && width >= grid.width) continue;
        for (Row& row : *rows) {
            if (row.length <= width) continue;
            materialize(grid, row, std::min(width, grid.kept.columns));
            split_wide_at(row, width, width);
            if (row.cells.size() > static_cast<size_t>(width)) row.cells.resize(static_cast<size_t>(width));
            row.length = width;
        }
    }
    grid.width = width;
    grid.row = std::min(grid.row, height - 1);
    grid.column = std::min(grid.column, width - 1);
}

}  // namespace vedad
