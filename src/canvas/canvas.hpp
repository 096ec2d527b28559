#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include <gd.h>

#include "fonts/font_choice.hpp"
#include "base/rgb.hpp"

namespace vedad {

struct GlyphPath;

// Pixel formats that may be asked for; every image is drawn and written in true colour.
enum PixelFormat : int32_t { PIXEL_FORMAT_A8 = 0, PIXEL_FORMAT_RGB24 = 1, PIXEL_FORMAT_ARGB32 = 2 };

// A glyph from another face that reaches past the right edge of its cell (a CJK character
// or an emoji in a cell of the font's width): once the next cell of the row is filled, the
// part over it is drawn again, so that the fill does not cut the glyph.
struct CellOverflow {
    bool pending = false;
    std::string text;
    int32_t x = 0;  // the pen it was drawn at
    int32_t y = 0;
    Rgb color{};
    int32_t right = 0;  // the column after its ink
};

// One libgd true-colour image and everything needed to draw text onto it.
struct Canvas {
    int32_t tab_width;
    int32_t fixed_advance;
    int32_t bold;  // accepted, but text is drawn in the same face
    int32_t line_spacing;
    int32_t char_spacing;
    int32_t pen_x;
    int32_t pen_y;  // baseline of the current row
    int32_t cell_width;
    int32_t line_height;
    int32_t descent;  // rows below the baseline that a row of text may ink, 0 or more
    double font_size;
    const char* font_name;  // not owned: a fixed text or a piece of argv
    // The font file chosen for font_name by the first page of a run.
    FontChoice font;
    // Characters the font lacks come from other faces: these (names or paths separated by
    // commas; not owned, a piece of argv) first, then fontconfig's choice. 0: they draw the
    // font's missing-glyph box.
    int32_t fallback = 1;
    const char* fallback_fonts = "";
    gdImagePtr image;
    double size_scale;
    int32_t background_color;
    int32_t foreground_color;
    int32_t pixel_format;
    // Nonzero: every text and character is rendered, also where it cannot reach the image.
    // The pictures and messages are the same either way; tests compare the two.
    int32_t draw_everything = 0;
    // Nonzero while a page is read only to find how large it is (--fit): the readers keep
    // their warnings for the page that is drawn.
    int32_t measuring = 0;
    // The faces and glyphs every text is drawn and measured from, made by canvas_init and
    // shared by the canvas's copies: one run renders each glyph once.
    std::shared_ptr<GlyphPath> glyphs;
    // The metric sample's largest width, height and descent, measured by the first page of a
    // run in the font and size named here and kept for the pages after it.
    bool sample_measured = false;
    std::string sample_font;
    double sample_points = 0.0;
    int32_t sample_width = 0;
    int32_t sample_height = 0;
    int32_t sample_descent = 0;
    CellOverflow overflow;
};

void canvas_init(Canvas& canvas);
void canvas_create(Canvas& canvas, int32_t width, int32_t height);
void canvas_destroy(Canvas& canvas);
void canvas_resize(Canvas& canvas, int32_t width, int32_t height);
// Grows the image by `margin` pixels on every side, in the page's background colour
// (transparent on a transparent page).
void canvas_add_margin(Canvas& canvas, int32_t margin);
void canvas_set_foreground(Canvas& canvas, const Rgb& rgb);
void canvas_set_background(Canvas& canvas, const Rgb& rgb);
void canvas_set_transparent_background(Canvas& canvas);
void canvas_fill_rect(Canvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void canvas_move_to(Canvas& canvas, int32_t x, int32_t y);
std::pair<int32_t, int32_t> canvas_position(const Canvas& canvas);
const char* pixel_format_name(const Canvas& canvas);

struct GdFree {
    void operator()(void* data) const { gdFree(data); }
};
using PngData = std::unique_ptr<void, GdFree>;

// A PNG encoded in memory, so that an encoder failure is seen before any file is touched.
struct PngBytes {
    PngData data;  // null when libgd could not encode the image
    size_t size;
};

PngBytes canvas_encode_png(const Canvas& canvas);

// The largest point size handed to libgd. FreeType refuses sizes far below it, so libgd
// reports them; beyond it libgd's conversion to 26.6 fixed point would overflow, and a NaN
// or an infinity would reach FreeType as some arbitrary size.
inline constexpr double MAX_POINT_SIZE = 1e6;

// The size in points that every libgd text call receives: font_size x size_scale, with any
// size that is not a number or above MAX_POINT_SIZE handed on as MAX_POINT_SIZE.
double canvas_point_size(const Canvas& canvas);

// The font name every libgd text call receives: the one chosen for font_name, or font_name
// itself before a font is chosen for it. Asked for every text, so the name's own storage,
// which never changes, tells at once.
inline const char* canvas_libgd_font(const Canvas& canvas)
{
    if (canvas.font_name == canvas.font.asked_at && canvas.font_name != nullptr) return canvas.font.libgd_name.c_str();
    return canvas.font.asked == canvas.font_name ? canvas.font.libgd_name.c_str() : canvas.font_name;
}

}  // namespace vedad
