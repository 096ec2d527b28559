#include "canvas/draw.hpp"

#include "base/clamp.hpp"
#include "base/fail.hpp"
#include "canvas/render_text.hpp"

namespace vedad {

namespace {

// Renders `text` at the pen on the image, or only measures it when `render` is false.
TextBox text_at_pen(const Canvas& canvas, bool render, const char* text)
{
    TextBox box;
    const char* error =
        canvas_render_text(canvas, render ? canvas.image : nullptr, canvas.pen_x, canvas.pen_y, text, box);
    if (error != nullptr) fail("while rendering: %s", error);
    return box;
}

}  // namespace

void canvas_draw_row(Canvas& canvas, const char* text, GlyphReach& reach)
{
    const bool render = !row_is_unseen(canvas, reach, text);
    const TextBox box = text_at_pen(canvas, render, text);
    if (render) learn_row(reach, canvas, text, box);
    canvas.pen_x = add_clamped(canvas.pen_x, box_width(box));
}

bool canvas_draw_glyph(Canvas& canvas, unsigned char c, GlyphReach& reach)
{
    const int32_t cell_start = canvas.pen_x;
    const char text[2] = {static_cast<char>(c), '\0'};
    const bool render = !glyph_is_unseen(canvas, reach, c);
    const TextBox box = text_at_pen(canvas, render, text);
    if (render) learn_glyph(reach, canvas, c, box);
    canvas.pen_x = add_clamped(canvas.pen_x, box_width(box));
    if (canvas.fixed_advance != 0) canvas.pen_x = add_clamped(cell_start, canvas.cell_width);
    return render;
}

void canvas_line_break(Canvas& canvas)
{
    canvas_move_to(canvas, 0, add_clamped(canvas.pen_y, canvas.line_height));
}

// The character is drawn once to find its cell, the cell is filled, and the character is
// drawn again over it. A character that cannot reach the image is only measured, once.
void canvas_draw_cell(Canvas& canvas, const CellColors& colors, unsigned char c, bool transparent,
                      GlyphReach& reach, TextExtent& extent)
{
    auto [x0, y0] = canvas_position(canvas);
    canvas_set_foreground(canvas, colors.text);
    const bool rendered = canvas_draw_glyph(canvas, c, reach);
    auto [x1, y1] = canvas_position(canvas);
    raise_extent(extent, canvas);
    if (transparent) return;

    canvas_set_foreground(canvas, colors.background);
    canvas_fill_rect(canvas, x0, add_clamped(y0, -static_cast<int64_t>(canvas.line_height)), x1, y1);
    canvas_move_to(canvas, x0, y0);
    canvas_set_foreground(canvas, colors.text);
    // A glyph that could not reach the image the first time cannot the second time either.
    if (rendered) canvas_draw_glyph(canvas, c, reach);
    else canvas_move_to(canvas, x1, y1);
}

}  // namespace vedad
