#include "readers/terminal/grid_cells.hpp"

#include <cstring>

#include "base/clamp.hpp"
#include "canvas/character.hpp"
#include "canvas/face_styles.hpp"

namespace vedad {

namespace {

CellColors colors_of(const Cell& cell)
{
    return CellColors{cell.foreground, cell.background};
}

// A one-pixel line across the cells from x0 to before x1 at row y.
void line_across(Canvas& canvas, Rgb color, int32_t x0, int32_t x1, int32_t y)
{
    if (x1 <= x0) return;
    canvas_set_foreground(canvas, color);
    canvas_fill_rect(canvas, x0, y, add_clamped(x1, -1), y);
}

// The lines SGR asks for across the cell from x0 to before x1 on `baseline`: an underline one
// pixel below the baseline (a double one two pixels below that too), a strike through the
// middle of the x-height, an overline along the cell's top row.
void draw_lines(RowDrawing& drawing, const Cell& cell, int32_t x0, int32_t x1, int32_t baseline)
{
    Canvas& canvas = drawing.canvas;
    const auto [x, y] = canvas_position(canvas);
    // Lines keep the least contrast the text keeps.
    const Rgb lines = canvas_cell_text_color(canvas, CellColors{cell.lines, cell.background});
    if ((cell.flags & Cell::UNDERLINE) != 0) line_across(canvas, lines, x0, x1, add_clamped(baseline, 1));
    if ((cell.flags & Cell::DOUBLE_UNDERLINE) != 0) line_across(canvas, lines, x0, x1, add_clamped(baseline, 3));
    if ((cell.flags & Cell::STRIKE) != 0) {
        line_across(canvas, lines, x0, x1, add_clamped(baseline, -int64_t{drawing.strike_height}));
    }
    if ((cell.flags & Cell::OVERLINE) != 0) {
        const int64_t top = int64_t{baseline} + canvas.descent + 1 - canvas.line_height;
        line_across(canvas, lines, x0, x1, clamp_to_int32(top));
    }
    canvas_move_to(canvas, x, y);
}

FaceStyle face_style_of(const Cell& cell)
{
    return static_cast<FaceStyle>(((cell.flags & Cell::BOLD) != 0 ? STYLE_BOLD : 0) |
                                  ((cell.flags & Cell::ITALIC) != 0 ? STYLE_ITALIC : 0));
}

}  // namespace

void draw_grid_cell(RowDrawing& drawing, const Cell& cell, std::string_view text)
{
    canvas_set_style(drawing.canvas, face_style_of(cell));
    // On a transparent page a cell of another background, a colour or reverse video, still
    // shows it.
    const bool transparent = drawing.transparent && cell.background == drawing.default_background;
    auto [x0, y0] = canvas_position(drawing.canvas);
    const Character character = first_character(text);
    if (std::strlen(character.text.data()) == text.size()) {
        canvas_draw_cell(drawing.canvas, colors_of(cell), character, transparent, drawing.reach, drawing.extent);
    } else {
        canvas_draw_text_cell(drawing.canvas, colors_of(cell), text.data(), transparent, drawing.extent);
    }
    if ((cell.flags & Cell::LINES) != 0) draw_lines(drawing, cell, x0, drawing.canvas.pen_x, y0);
}

void draw_grid_wide_cell(RowDrawing& drawing, const Cell& head, std::string_view head_text, const Cell& tail,
                         std::string_view tail_text)
{
    Canvas& canvas = drawing.canvas;
    auto [x0, y0] = canvas_position(canvas);
    canvas_move_to(canvas, add_clamped(x0, canvas.cell_width), y0);
    draw_grid_cell(drawing, tail, tail_text);
    const int32_t x2 = canvas.pen_x;
    canvas_move_to(canvas, x0, y0);
    draw_grid_cell(drawing, head, head_text);
    canvas_move_to(canvas, x2, y0);
}

void fill_row_to_edge(RowDrawing& drawing, Rgb color)
{
    Canvas& canvas = drawing.canvas;
    const auto [x, y] = canvas_position(canvas);
    if (canvas.line_height > 0 && x < gdImageSX(canvas.image)) {
        const int64_t bottom = int64_t{y} + canvas.descent;
        canvas_set_foreground(canvas, color);
        canvas_fill_rect(canvas, x, clamp_to_int32(bottom + 1 - canvas.line_height), gdImageSX(canvas.image) - 1,
                         clamp_to_int32(bottom));
    }
    raise_extent_to(drawing.extent, 0, y);
}

}  // namespace vedad
