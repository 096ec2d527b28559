#include "readers/terminal/ansi_reader.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/clamp.hpp"
#include "canvas/character.hpp"
#include "canvas/draw.hpp"
#include "canvas/face_styles.hpp"
#include "canvas/font_metrics.hpp"
#include "readers/terminal/ansi_grid.hpp"
#include "readers/terminal/ansi_parser.hpp"
#include "readers/terminal/grid_cells.hpp"

namespace vedad {

namespace {

// Cells every position of which lands in the same place (a cell width or line height of 0,
// or pens held at the edge of the 32-bit range) could all reach the image; so many are kept,
// and no more. Each is drawn over the others, so more would only cost: with both directions
// held, a page of them is this many squared.
constexpr int64_t SAME_PLACE_KEPT = 64;
// No more rows or columns are kept however far the reach goes.
constexpr int64_t MOST_KEPT = int64_t{1} << 20;
// When everything is drawn, at least this many rows and columns are kept, well beyond what
// can reach the image, so that comparing the two pictures checks the bound as well.
constexpr int64_t KEPT_WHEN_DRAWING_EVERYTHING = 64;

// How many of the positions start + k * step, k = 0, 1, ..., held to 32 bits as the pen is,
// can put ink within `reach` pixels of [0, size): always the first ones, since the positions
// only move one way. Positions held at the edge of the 32-bit range all land in one place.
int64_t positions_within_reach(int64_t start, int64_t step, int64_t size, int64_t reach)
{
    auto within_reach = [&](int64_t k) {
        const int64_t position = add_clamped(start, k * step);
        return position - reach < size && position + reach >= 0;
    };
    if (step == 0) return SAME_PLACE_KEPT;
    int64_t count = 0;
    if (step > 0) count = start - reach >= size ? 0 : (size + reach - start) / step + 1;
    else count = start + reach < 0 ? 0 : (start + reach) / -step + 1;
    count = std::clamp<int64_t>(count, 0, MOST_KEPT);
    if (within_reach(count)) return std::max(count, SAME_PLACE_KEPT);
    return count;
}

// The cells that can reach the image. A cell's fill lies within a cell width and a line height
// of its pen, and its glyph's ink within a few ems (twice the clearance that leaving out
// unseen text keeps, which covers ink outside a glyph's own box of an em or so).
GridLimits kept_cells(const Canvas& canvas)
{
    const int64_t cell_width = canvas.cell_width;
    const int64_t line_height = canvas.line_height;
    // A cell's fill spans its width across and its height down, never the other one: a huge
    // line height must not keep a million columns.
    const int64_t ink = 2 * reach_clearance(canvas);
    int64_t rows = positions_within_reach(canvas.pen_y, line_height, gdImageSY(canvas.image),
                                          ink + std::abs(line_height));
    int64_t columns = positions_within_reach(canvas.pen_x, cell_width, gdImageSX(canvas.image),
                                             ink + std::abs(cell_width));
    if (canvas.glyphs->seams.draw_everything) {
        rows = std::max(rows, KEPT_WHEN_DRAWING_EVERYTHING);
        columns = std::max(columns, KEPT_WHEN_DRAWING_EVERYTHING);
    }
    return GridLimits{static_cast<int32_t>(rows), static_cast<int32_t>(columns)};
}

void draw_row(RowDrawing& drawing, const Grid& grid, const Row& row)
{
    const size_t count = row.cells.size();
    for (size_t column = 0; column < count; ++column) {
        const Cell& cell = row.cells[column];
        if ((cell.flags & Cell::WIDE) != 0 && column + 1 < count) {
            draw_grid_wide_cell(drawing, cell, cell_text(row, cell), row.cells[column + 1],
                                cell_text(row, row.cells[column + 1]));
            ++column;
        } else {
            draw_grid_cell(drawing, cell, cell_text(row, cell));
        }
    }
    // Cells erased in the page's own colours show nothing, and do not widen the picture.
    if (row.erased_background == grid.default_background) return;
    Cell erased;
    erased.foreground = grid.default_foreground;
    erased.background = row.erased_background;
    for (int32_t column = static_cast<int32_t>(count); column < row.length; ++column)
        draw_grid_cell(drawing, erased, cell_text(row, erased));
    if (row.erased_to_edge) fill_row_to_edge(drawing, row.erased_background);
}

// The pens that the cells outside the kept ones would have reached: the rows and columns
// move one way, so the furthest are those of the first and last rows and the longest row.
void raise_extent_beyond_kept(const Canvas& canvas, const Grid& grid, int32_t start_x, int32_t start_y,
                              TextExtent& extent)
{
    if (grid.last_row < 0) return;
    const int64_t width = canvas.cell_width;
    const int64_t height = canvas.line_height;
    for (const int64_t row : {grid.first_row, grid.last_row}) {
        const int32_t y = add_clamped(start_y, row * height);
        for (const int64_t cells : {int64_t{1}, grid.longest_row})
            raise_extent_to(extent, add_clamped(start_x, cells * width), y);
    }
}

}  // namespace

void read_ansi(Canvas& canvas, FILE* stream, const Options& options, TextExtent& extent)
{
    canvas.settings.fixed_advance = 1;  // every character has a cell of its own
    GridLimits kept = kept_cells(canvas);
    // Rows that scroll up into the picture must have been kept below it: a screen keeps all
    // of its rows.
    if (options.screen != 0) kept.rows = std::max(kept.rows, options.rows);
    Grid grid = make_grid(kept, options.foreground, options.background, canvas.settings.tab_width, options.columns);
    grid.basic = options.basic_colors;
    if (options.screen != 0) grid.height = options.rows;
    ansi_read(grid, stream);
    if (grid.unkept_text_moved_in) canvas.unkept_text_moved_in = 1;

    auto [start_x, start_y] = canvas_position(canvas);
    GlyphReach reach;
    const GlyphMetrics x = canvas_measure_glyph(canvas, "x");
    RowDrawing drawing{canvas, options.transparent != 0, options.background, reach, extent, (x.height - x.descent) / 2};
    for (size_t row = 0; row < grid.rows.size(); ++row) {
        if (row > 0) canvas_line_break(canvas);
        if (!grid.rows[row].continued) canvas_note_line(canvas);
        draw_row(drawing, grid, grid.rows[row]);
    }
    canvas_set_style(canvas, STYLE_REGULAR);
    raise_extent_beyond_kept(canvas, grid, start_x, start_y, extent);
}

}  // namespace vedad
