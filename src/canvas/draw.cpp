#include "canvas/draw.hpp"

#include "base/clamp.hpp"
#include "base/fail.hpp"
#include "canvas/render_text.hpp"

namespace vedad {

namespace {

// Renders `text` at the pen on the image, or only measures it when `render` is false.
TextBox text_at_pen(const Canvas& canvas, bool render, const char* text, Missing missing)
{
    TextBox box;
    const char* error = canvas_render_text(canvas, render ? canvas.image : nullptr, canvas.pen_x, canvas.pen_y, text,
                                           box, missing);
    if (error != nullptr) fail("while rendering: %s", error);
    return box;
}

}  // namespace

void canvas_draw_row(Canvas& canvas, const char* text, GlyphReach& reach)
{
    const bool render = !row_is_unseen(canvas, reach, text);
    const TextBox box = text_at_pen(canvas, render, text, Missing::FALLBACK);
    if (render) learn_row(reach, canvas, text, box);
    canvas.pen_x = add_clamped(canvas.pen_x, box_width(box));
}

void canvas_draw_glyph(Canvas& canvas, const Character& character, GlyphReach& reach)
{
    const int32_t cell_start = canvas.pen_x;
    const bool render = !glyph_is_unseen(canvas, reach, character);
    // A character from another face keeps the cell's advance.
    const TextBox box = text_at_pen(canvas, render, character.text.data(), Missing::FALLBACK_IN_CELL);
    if (render) learn_glyph(reach, canvas, character, box);
    canvas.pen_x = add_clamped(canvas.pen_x, box_width(box));
    if (canvas.fixed_advance != 0) canvas.pen_x = add_clamped(cell_start, canvas.cell_width);
}

void canvas_line_break(Canvas& canvas)
{
    canvas_move_to(canvas, 0, add_clamped(canvas.pen_y, canvas.line_height));
}

namespace {

// Where the cell of `text` at the pen ends: with fixed_advance one cell on, which needs no
// call to libgd (drawing the text still reports a font that fails), else its advance on.
int32_t cell_end(const Canvas& canvas, const char* text)
{
    const int32_t x0 = canvas.pen_x;
    return canvas.fixed_advance != 0 ? add_clamped(x0, canvas.cell_width)
                                     : add_clamped(x0, box_width(text_at_pen(canvas, false, text,
                                                                             Missing::FALLBACK_IN_CELL)));
}

// Cells tile: a cell takes the columns from the pen before its character up to the one
// before the pen after it, and the line_height rows that end with its baseline's descent, so
// neither the next cell nor the next row covers it.
void fill_cell(Canvas& canvas, const Rgb& color, int32_t x1)
{
    auto [x0, y0] = canvas_position(canvas);
    if (x1 <= x0 || canvas.line_height <= 0) return;
    const int64_t bottom = int64_t{y0} + canvas.descent;
    canvas_set_foreground(canvas, color);
    canvas_fill_rect(canvas, x0, add_clamped(bottom + 1, -int64_t{canvas.line_height}), x1 - 1,
                     clamp_to_int32(bottom));
}

}  // namespace

// The character is measured to find its cell, the cell filled, and the character drawn once
// over it, as with no cell at all.
void canvas_draw_cell(Canvas& canvas, const CellColors& colors, const Character& character, bool transparent,
                      GlyphReach& reach, TextExtent& extent)
{
    if (transparent) {
        canvas_set_foreground(canvas, colors.text);
        canvas_draw_glyph(canvas, character, reach);
        raise_extent(extent, canvas);
        return;
    }

    auto [x0, y0] = canvas_position(canvas);
    const int32_t x1 = cell_end(canvas, character.text.data());
    fill_cell(canvas, colors.background, x1);
    canvas_set_foreground(canvas, colors.text);
    // A character that cannot reach the image needs no second look: its cell is known.
    if (glyph_is_unseen(canvas, reach, character)) canvas_move_to(canvas, x1, y0);
    else canvas_draw_glyph(canvas, character, reach);
    raise_extent(extent, canvas);
}

void canvas_draw_text_cell(Canvas& canvas, const CellColors& colors, const char* text, bool transparent,
                           TextExtent& extent)
{
    const int32_t x0 = canvas.pen_x;
    if (!transparent) fill_cell(canvas, colors.background, cell_end(canvas, text));
    canvas_set_foreground(canvas, colors.text);
    const TextBox box = text_at_pen(canvas, true, text, Missing::FALLBACK_IN_CELL);
    canvas.pen_x = add_clamped(x0, canvas.fixed_advance != 0 ? canvas.cell_width : box_width(box));
    raise_extent(extent, canvas);
}

}  // namespace vedad
