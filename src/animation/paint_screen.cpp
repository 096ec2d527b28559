#include "animation/paint_screen.hpp"

#include <algorithm>

#include "canvas/face_styles.hpp"
#include "canvas/font_metrics.hpp"
#include "readers/terminal/grid_cells.hpp"

namespace vedad {

namespace {

// How many rows away a glyph's ink may show: a row drawn again takes its neighbours' ink with
// it, so those around it are drawn again too, clipped to the area.
constexpr int32_t INK_REACH = 1;

int32_t cell_top(const Canvas& canvas, int32_t row)
{
    return row * canvas.line_height + canvas.descent + 1;
}

// Replaces the area's pixels by the page's background, alpha and all.
void clear_area(Canvas& canvas, const PixelArea& pixels)
{
    for (int32_t y = pixels.top; y <= pixels.bottom; ++y) {
        int* row = canvas.image->tpixels[y];
        std::fill(row + pixels.left, row + pixels.right + 1, canvas.background_color);
    }
}

}  // namespace

void painter_init(ScreenPainter& painter, Canvas& canvas, bool transparent, Rgb default_background)
{
    painter.canvas = &canvas;
    painter.transparent = transparent;
    painter.default_background = default_background;
    const GlyphMetrics x = canvas_measure_glyph(canvas, "x");
    painter.strike_height = (x.height - x.descent) / 2;
}

PixelArea paint_screen(ScreenPainter& painter, const ScreenCells& screen, CellArea area)
{
    Canvas& canvas = *painter.canvas;
    const int32_t width = gdImageSX(canvas.image);
    const int32_t height = gdImageSY(canvas.image);
    const bool whole = area.empty();
    if (whole) area = CellArea{0, screen.rows - 1, 0, screen.columns - 1};
    // Rows are drawn again whole: along a row, a glyph may ink cells past its own (a cluster
    // no face has whole is drawn code point by code point, over the cells after it).
    area.first_column = 0;
    area.last_column = screen.columns - 1;

    // The pixels that change: the cells of the area and those around it, out to the picture's
    // edges where they reach the screen's.
    PixelArea pixels{0, 0, width - 1, height - 1};
    if (!whole) {
        const int64_t cw = canvas.cell_width;
        if (area.first_column - INK_REACH > 0) pixels.left = static_cast<int32_t>((area.first_column - INK_REACH) * cw);
        if (area.last_column + INK_REACH < screen.columns - 1)
            pixels.right = static_cast<int32_t>((area.last_column + INK_REACH + 1) * cw - 1);
        if (area.first_row - INK_REACH > 0) pixels.top = cell_top(canvas, area.first_row - INK_REACH);
        if (area.last_row + INK_REACH < screen.rows - 1)
            pixels.bottom = cell_top(canvas, area.last_row + INK_REACH + 1) - 1;
        pixels.left = std::clamp(pixels.left, 0, width);
        pixels.top = std::clamp(pixels.top, 0, height);
        pixels.right = std::min(pixels.right, width - 1);
        pixels.bottom = std::min(pixels.bottom, height - 1);
        if (pixels.empty()) return pixels;
    }

    int clip[4];
    gdImageGetClip(canvas.image, &clip[0], &clip[1], &clip[2], &clip[3]);
    gdImageSetClip(canvas.image, pixels.left, pixels.top, pixels.right, pixels.bottom);
    clear_area(canvas, pixels);
    RowDrawing drawing{canvas, painter.transparent, painter.default_background, painter.reach, painter.extent,
                       painter.strike_height};
    const int32_t first_row = std::max(area.first_row - 2 * INK_REACH, 0);
    const int32_t last_row = std::min(area.last_row + 2 * INK_REACH, screen.rows - 1);
    int32_t first_column = std::max(area.first_column - 2 * INK_REACH, 0);
    const int32_t last_column = std::min(area.last_column + 2 * INK_REACH, screen.columns - 1);
    for (int32_t r = first_row; r <= last_row; ++r) {
        int32_t c = first_column;
        // A wide character is drawn from its first cell.
        if (c > 0 && (screen.at(r, c).flags & Cell::WIDE_TAIL) != 0) --c;
        canvas.overflow.pending = false;
        canvas_move_to(canvas, c * canvas.cell_width, (r + 1) * canvas.line_height);
        for (; c <= last_column; ++c) {
            const Cell& cell = screen.at(r, c);
            if (cell.length == 0) {
                canvas_move_to(canvas, (c + 1) * canvas.cell_width, canvas.pen_y);
            } else if ((cell.flags & Cell::WIDE) != 0 && c + 1 < screen.columns) {
                draw_grid_wide_cell(drawing, cell, screen.text(r, c), screen.at(r, c + 1), screen.text(r, c + 1));
                ++c;
            } else {
                draw_grid_cell(drawing, cell, screen.text(r, c));
            }
        }
        if (screen.fills_to_edge[static_cast<size_t>(r)] && last_column == screen.columns - 1) {
            canvas_move_to(canvas, screen.columns * canvas.cell_width, canvas.pen_y);
            fill_row_to_edge(drawing, screen.edge_colors[static_cast<size_t>(r)]);
        }
    }
    canvas.overflow.pending = false;
    canvas_set_style(canvas, STYLE_REGULAR);
    gdImageSetClip(canvas.image, clip[0], clip[1], clip[2], clip[3]);
    return pixels;
}

}  // namespace vedad
