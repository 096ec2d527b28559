#include "canvas/draw.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "main/fail.hpp"

namespace vedad {

namespace {

using Box = std::array<int, 8>;

// Renders at the pen (or, with no image, only measures) and returns the box libgd reports.
Box string_at_pen(const Canvas& canvas, gdImagePtr image, const char* text)
{
    Box box{};
    const char* error = gdImageStringFT(image, box.data(), canvas.foreground_color,
                                        const_cast<char*>(canvas.font_name), canvas_point_size(canvas),
                                        0.0, canvas.pen_x, canvas.pen_y, const_cast<char*>(text));
    if (error != nullptr) fail("error: while rendering: %s\n", error);
    return box;
}

// The advance of a drawn text: the width of its box. libgd's corners follow the pen, which
// may stand anywhere in the 32-bit range.
int32_t advance_of(const Box& box)
{
    return add_clamped(box[2], -static_cast<int64_t>(box[0]));
}

// Draws at the pen and returns the advance.
int32_t draw_at_pen(Canvas& canvas, const char* text)
{
    return advance_of(string_at_pen(canvas, canvas.image, text));
}

void draw_one(Canvas& canvas, char c)
{
    const int32_t cell_start = canvas.pen_x;
    const char text[2] = {c, '\0'};
    canvas.pen_x = add_clamped(canvas.pen_x, draw_at_pen(canvas, text));
    if (canvas.fixed_advance != 0) canvas.pen_x = add_clamped(cell_start, canvas.cell_width);
}

// --- Leaving out what cannot reach the image ---
//
// libgd's box is no exact bound of the ink: glyphs such as combining marks put ink up to
// three quarters of an em outside it (every glyph of the Basic Multilingual Plane in the
// FreeFont, DejaVu and Droid faces at 7 and 14 points, measured against the drawn pixels).
// Text counts as out of reach only when it stays two ems and two pixels (for rounding, and
// the box moving by a pixel with the pen) clear of the image beyond what was seen.

// Pens this far from the origin keep libgd's own arithmetic, and so the boxes learnt from
// them, far from overflowing.
constexpr int64_t SANE_PEN = int64_t{1} << 30;

// The clearance, in pixels; so large that nothing is out of reach when the point size is
// not an ordinary number.
int64_t clearance(const Canvas& canvas)
{
    const double points = canvas_point_size(canvas);
    if (!(points > 0.0 && points < 1.0e6)) return int64_t{1} << 40;
    const double em = points * 96.0 / 72.0;  // libgd draws at 96 dots per inch
    return 2 * static_cast<int64_t>(std::ceil(em)) + 2;
}

bool pen_is_sane(const Canvas& canvas)
{
    return std::abs(static_cast<int64_t>(canvas.pen_x)) < SANE_PEN &&
           std::abs(static_cast<int64_t>(canvas.pen_y)) < SANE_PEN;
}

// Learns how far a rendered text's box reached from the pen it was drawn at.
void learn_reach(DrawnGlyphs& drawn, const Canvas& canvas, const Box& box)
{
    const int64_t x = canvas.pen_x;
    const int64_t y = canvas.pen_y;
    for (int corner = 0; corner < 4; ++corner) {
        const int64_t bx = box[2 * corner];
        const int64_t by = box[2 * corner + 1];
        drawn.left = std::max(drawn.left, x - bx);
        drawn.right = std::max(drawn.right, bx - x);
        drawn.up = std::max(drawn.up, y - by);
        drawn.down = std::max(drawn.down, by - y);
    }
}

// A byte of a row that maps to one glyph of its own, the same wherever it stands.
bool stands_for_itself(unsigned char byte)
{
    return byte != 0 && byte < 128 && byte != '&';
}

bool row_is_rendered(const char* text, const DrawnGlyphs& drawn)
{
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (!stands_for_itself(*p) || !drawn.rendered[*p]) return false;
    }
    return true;
}

// Whether ink of known glyphs, drawn with the pen on baseline y, stays above or below the image.
bool rows_out_of_reach(const Canvas& canvas, const DrawnGlyphs& drawn, int64_t y)
{
    const int64_t margin = clearance(canvas);
    return y - drawn.up - margin >= gdImageSY(canvas.image) || y + drawn.down + margin < 0;
}

bool glyph_out_of_reach(const Canvas& canvas, const DrawnGlyphs& drawn)
{
    const int64_t margin = clearance(canvas);
    const int64_t x = canvas.pen_x;
    return rows_out_of_reach(canvas, drawn, canvas.pen_y) || x - drawn.left - margin >= gdImageSX(canvas.image) ||
           x + drawn.right + margin < 0;
}

// draw_one, measuring instead of drawing where the glyph cannot reach the image. Returns
// whether it rendered.
bool draw_one_where_seen(Canvas& canvas, char c, DrawnGlyphs& drawn)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    const int32_t cell_start = canvas.pen_x;
    const char text[2] = {c, '\0'};
    const bool render = canvas.draw_everything != 0 || !drawn.rendered[byte] || !glyph_out_of_reach(canvas, drawn);
    const Box box = string_at_pen(canvas, render ? canvas.image : nullptr, text);
    if (render && pen_is_sane(canvas)) {
        learn_reach(drawn, canvas, box);
        drawn.rendered[byte] = true;
    }
    canvas.pen_x = add_clamped(canvas.pen_x, advance_of(box));
    if (canvas.fixed_advance != 0) canvas.pen_x = add_clamped(cell_start, canvas.cell_width);
    return render;
}

}  // namespace

int32_t add_clamped(int64_t a, int64_t b)
{
    int64_t sum = a + b;
    if (sum > INT32_MAX) return INT32_MAX;
    if (sum < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(sum);
}

void canvas_draw_text(Canvas& canvas, const char* text)
{
    canvas.pen_x = add_clamped(canvas.pen_x, draw_at_pen(canvas, text));
}

void canvas_draw_char(Canvas& canvas, int32_t c)
{
    if (c == '\n') {
        canvas_move_to(canvas, 0, add_clamped(canvas.pen_y, canvas.line_height));
        return;
    }
    if (c == '\t') {
        for (int32_t i = 0; i < canvas.tab_width; ++i) draw_one(canvas, ' ');
        return;
    }
    draw_one(canvas, static_cast<char>(c & 0xff));
}

void canvas_draw_row(Canvas& canvas, const char* text, DrawnGlyphs& drawn)
{
    const bool render = canvas.draw_everything != 0 || !row_is_rendered(text, drawn) ||
                        !rows_out_of_reach(canvas, drawn, canvas.pen_y);
    const Box box = string_at_pen(canvas, render ? canvas.image : nullptr, text);
    if (render && pen_is_sane(canvas)) {
        learn_reach(drawn, canvas, box);
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
            if (stands_for_itself(*p)) drawn.rendered[*p] = true;
        }
    }
    canvas.pen_x = add_clamped(canvas.pen_x, advance_of(box));
}

bool canvas_draw_glyph(Canvas& canvas, int32_t c, DrawnGlyphs& drawn)
{
    if (c != '\t') return draw_one_where_seen(canvas, static_cast<char>(c & 0xff), drawn);
    bool rendered = false;
    for (int32_t i = 0; i < canvas.tab_width; ++i) rendered = draw_one_where_seen(canvas, ' ', drawn) || rendered;
    return rendered;
}

bool canvas_row_is_unseen(const Canvas& canvas, const char* text, const DrawnGlyphs& drawn, int32_t extent_x)
{
    return canvas.draw_everything == 0 && extent_x >= gdImageSX(canvas.image) && row_is_rendered(text, drawn) &&
           rows_out_of_reach(canvas, drawn, canvas.pen_y);
}

}  // namespace vedad
