#include "canvas/draw.hpp"

#include <algorithm>
#include <climits>
#include <utility>

#include "base/clamp.hpp"
#include "base/contrast.hpp"
#include "base/fail.hpp"
#include "glyphs/glyph_path.hpp"
#include "canvas/drawing_record.hpp"
#include "canvas/face_styles.hpp"
#include "canvas/render_text.hpp"

namespace vedad {

namespace {

// How a character the font lacks sits in a cell: in a grid of fixed cells with the advance of
// the font's own box, so that the cells stay a grid; else with its own advance, as in a row.
Missing missing_in_cell(const Canvas& canvas)
{
    return canvas.settings.fixed_advance != 0 ? Missing::FALLBACK_IN_CELL : Missing::FALLBACK;
}

// Renders `text` at the pen on the image, or only measures it when `render` is false.
TextBox text_at_pen(const Canvas& canvas, bool render, const char* text, Missing missing)
{
    TextBox box;
    const char* error = canvas_render_text(canvas, render ? canvas.image : nullptr, canvas.pen_x, canvas.pen_y, text,
                                           box, missing);
    if (error != nullptr) fail("while rendering: %s", error);
    return box;
}

// Draws `text` at the pen as what one cell holds and moves the pen to the cell's end: one cell
// on with fixed_advance, else the text's advance on. A character from another face keeps the
// cell's advance. `character`, when given, is the one character the text is: it is then only
// measured where it cannot reach the image, and learnt where it renders.
void draw_in_cell(Canvas& canvas, const char* text, const Character* character, GlyphReach* reach)
{
    const int32_t cell_start = canvas.pen_x;
    const bool render = character == nullptr || !glyph_is_unseen(canvas, *reach, *character);
    const TextBox box = text_at_pen(canvas, render, text, missing_in_cell(canvas));
    if (render && character != nullptr) learn_glyph(*reach, canvas, *character, box);
    const int32_t next_x = canvas.settings.fixed_advance != 0 ? add_clamped(cell_start, canvas.cell_width)
                                                              : add_clamped(canvas.pen_x, box_width(box));
    canvas_move_to(canvas, next_x, canvas.pen_y);
}

}  // namespace

void canvas_draw_row(Canvas& canvas, const char* text, GlyphReach& reach)
{
    bool render = !row_is_unseen(canvas, reach, text);
    // A row of glyphs not seen before, far above or below the image, is measured first: only
    // a box that reaches the image is worth rendering.
    if (render && baseline_far_from_image(canvas)) {
        render = box_may_reach_image(canvas, text_at_pen(canvas, false, text, Missing::FALLBACK));
    }
    const TextBox box = text_at_pen(canvas, render, text, Missing::FALLBACK);
    if (render) learn_row(reach, canvas, text, box);
    canvas_move_to(canvas, add_clamped(canvas.pen_x, box_width(box)), canvas.pen_y);
}

void canvas_draw_glyph(Canvas& canvas, const Character& character, GlyphReach& reach)
{
    draw_in_cell(canvas, character.text.data(), &character, &reach);
}

void canvas_line_break(Canvas& canvas)
{
    canvas.overflow.pending = false;
    canvas_move_to(canvas, 0, add_clamped(canvas.pen_y, canvas.line_height));
}

namespace {

// Where the cell of `text` at the pen ends: with fixed_advance one cell on, which needs no
// call to libgd (drawing the text still reports a font that fails), else its advance on.
int32_t cell_end(const Canvas& canvas, const char* text)
{
    const int32_t x0 = canvas.pen_x;
    return canvas.settings.fixed_advance != 0 ? add_clamped(x0, canvas.cell_width)
                                     : add_clamped(x0, box_width(text_at_pen(canvas, false, text,
                                                                             missing_in_cell(canvas))));
}

// The rows of the cell whose baseline is y0: line_height rows ending with the descent.
std::pair<int32_t, int32_t> cell_rows(const Canvas& canvas, int32_t y0)
{
    const int64_t bottom = int64_t{y0} + canvas.descent;
    return {add_clamped(bottom + 1, -int64_t{canvas.line_height}), clamp_to_int32(bottom)};
}

// Cells tile: a cell takes the columns from the pen before its character up to the one
// before the pen after it, and the line_height rows that end with its baseline's descent, so
// neither the next cell nor the next row covers it.
void fill_cell(Canvas& canvas, const Rgb& color, int32_t x1)
{
    auto [x0, y0] = canvas_position(canvas);
    if (x1 <= x0 || canvas.line_height <= 0) return;
    const auto [top, bottom] = cell_rows(canvas, y0);
    canvas_set_foreground(canvas, color);
    canvas_fill_rect(canvas, x0, top, x1 - 1, bottom);
}

// Draws again the part of the row's overflowing glyph that lies over the cell from x0 to
// before x1 at baseline y0, which has just been filled; forgets the glyph once it ends there.
void redraw_overflow(Canvas& canvas, int32_t x0, int32_t y0, int32_t x1)
{
    CellOverflow& overflow = canvas.overflow;
    if (!overflow.pending) return;
    if (overflow.y != y0 || x0 >= overflow.right) {
        overflow.pending = false;
        return;
    }
    if (x1 <= x0 || canvas.line_height <= 0) return;
    gdImagePtr image = canvas.image;
    int clip[4];
    gdImageGetClip(image, &clip[0], &clip[1], &clip[2], &clip[3]);
    const auto [top, bottom] = cell_rows(canvas, y0);
    const int left = std::max(clip[0], x0);
    const int right = std::min(clip[2], x1 - 1);
    const int upper = std::max(clip[1], top);
    const int lower = std::min(clip[3], bottom);
    if (left <= right && upper <= lower) {
        gdImageSetClip(image, left, upper, right, lower);
        canvas_set_foreground(canvas, overflow.color);
        TextBox box;
        // It rendered before, in the same face and size: it renders again.
        const FaceStyle style = canvas.style;
        canvas_return_to_style(canvas, overflow.style);
        // Drawn again only to mend its pixels: it is recorded once.
        if (canvas.record != nullptr) canvas.record->paused = true;
        canvas_render_text(canvas, image, overflow.x, overflow.y, overflow.text.c_str(), box,
                           missing_in_cell(canvas));
        if (canvas.record != nullptr) canvas.record->paused = false;
        canvas_return_to_style(canvas, style);
        gdImageSetClip(image, clip[0], clip[1], clip[2], clip[3]);
    }
    if (overflow.right <= x1) overflow.pending = false;
}

// Remembers the text just drawn at (x0, y0) in a cell ending before x1 when ink from another
// face reached past that end.
void keep_overflow(Canvas& canvas, const char* text, int32_t x0, int32_t y0, int32_t x1, const Rgb& color)
{
    if (canvas.glyphs->fallback_ink_end <= x1) return;
    canvas.overflow.pending = true;
    canvas.overflow.text = text;
    canvas.overflow.x = x0;
    canvas.overflow.y = y0;
    canvas.overflow.color = color;
    canvas.overflow.style = canvas.style;
    canvas.overflow.right = canvas.glyphs->fallback_ink_end;
}

void forget_ink(Canvas& canvas)
{
    canvas.glyphs->fallback_ink_end = INT32_MIN;
}

// The text is measured to find its cell, the cell filled, and the text drawn once over it, as
// with no cell at all. A glyph from another face that reaches into the next cell is drawn
// again over that cell once it is filled.
void draw_cell(Canvas& canvas, const CellColors& colors, const char* text, const Character* character,
               bool transparent, GlyphReach* reach, TextExtent& extent)
{
    auto [x0, y0] = canvas_position(canvas);
    int32_t x1 = x0;
    if (!transparent) {
        x1 = cell_end(canvas, text);
        fill_cell(canvas, colors.background, x1);
        redraw_overflow(canvas, x0, y0, x1);
    }
    const Rgb text_color = canvas_cell_text_color(canvas, colors);
    canvas_set_foreground(canvas, text_color);
    forget_ink(canvas);
    // A character that cannot reach the image needs no second look: its cell is known.
    if (!transparent && character != nullptr && glyph_is_unseen(canvas, *reach, *character)) {
        canvas_move_to(canvas, x1, y0);
    } else {
        draw_in_cell(canvas, text, character, reach);
    }
    if (!transparent) keep_overflow(canvas, text, x0, y0, x1, text_color);
    raise_extent(extent, canvas);
}

}  // namespace

Rgb canvas_cell_text_color(const Canvas& canvas, const CellColors& colors)
{
    return with_min_contrast(colors.text, colors.background, canvas.settings.min_contrast);
}

void canvas_draw_cell(Canvas& canvas, const CellColors& colors, const Character& character, bool transparent,
                      GlyphReach& reach, TextExtent& extent)
{
    draw_cell(canvas, colors, character.text.data(), &character, transparent, &reach, extent);
}

void canvas_draw_text_cell(Canvas& canvas, const CellColors& colors, const char* text, bool transparent,
                           TextExtent& extent)
{
    draw_cell(canvas, colors, text, nullptr, transparent, nullptr, extent);
}

}  // namespace vedad
