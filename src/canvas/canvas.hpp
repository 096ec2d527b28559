#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gd.h>

#include "base/options.hpp"
#include "base/owned_image.hpp"
#include "base/rgb.hpp"
#include "fonts/font_choice.hpp"
#include "fonts/styled_font.hpp"

namespace vedad {

struct GlyphPath;
struct DrawingRecord;

// A glyph from another face that reaches past the right edge of its cell (a CJK character
// or an emoji in a cell of the font's width): once the next cell of the row is filled, the
// part over it is drawn again, so that the fill does not cut the glyph.
struct CellOverflow {
    bool pending = false;
    std::string text;
    int32_t x = 0;  // the pen it was drawn at
    int32_t y = 0;
    Rgb color{};
    FaceStyle style = STYLE_REGULAR;  // the face it was drawn in
    int32_t right = 0;  // the column after its ink
};

// The metric sample's largest width, height and descent, measured by the first page of a run
// in the font and size named here and kept for the pages after it.
struct SampleCell {
    bool measured = false;
    std::string font;
    double points = 0.0;
    FaceStyle style = STYLE_REGULAR;
    int32_t width = 0;
    int32_t height = 0;
    int32_t descent = 0;
};

// The last page's image, kept so that the next page of the run reuses its memory. A copy of a
// canvas starts with none: the image is its own.
struct SpareImage {
    OwnedImage image;

    SpareImage() = default;
    SpareImage(const SpareImage&) {}
    SpareImage& operator=(const SpareImage&)
    {
        image.reset();
        return *this;
    }
    SpareImage(SpareImage&&) = default;
    SpareImage& operator=(SpareImage&&) = default;
    ~SpareImage() = default;
};

// One libgd true-colour image and everything needed to draw text onto it.
struct Canvas {
    DrawingSettings settings;  // the run's, as a page's reader may adjust them
    gdImagePtr image = nullptr;
    int32_t pen_x = 0;
    int32_t pen_y = 0;  // baseline of the current row
    int32_t cell_width = 0;
    int32_t line_height = 0;
    int32_t descent = 0;  // rows below the baseline that a row of text may ink, 0 or more
    int32_t background_color = 0;
    int32_t foreground_color = 0;
    // The font file chosen for settings.font_name by the first page of a run.
    FontChoice font;
    // The style texts are drawn in now (see face_styles.hpp), and the faces of the styles
    // other than regular, found when first used.
    FaceStyle style = STYLE_REGULAR;
    std::array<StyledFont, FACE_STYLES> styled;
    // Nonzero while a page is read only to find how large it is (--fit): the readers keep
    // their warnings for the page that is drawn.
    int32_t measuring = 0;
    // Set by the terminal reader when the page moved text it never kept (it lies too far
    // down or right to reach the image) into view: that text shows as blank, and a larger
    // canvas, which keeps more, may show it.
    int32_t unkept_text_moved_in = 0;
    // The input being read, as the readers' warnings name it: the operand as given, or
    // "standard input". Not owned.
    const char* input_name = "standard input";
    // The faces and glyphs every text is drawn and measured from, made by canvas_init and
    // shared by the canvas's copies: one run renders each glyph once.
    std::shared_ptr<GlyphPath> glyphs;
    SampleCell sample;
    CellOverflow overflow;
    // With line numbers: the baselines of the rows that begin a line of the input, in order,
    // noted by the readers while `noting_lines` is set.
    bool noting_lines = false;
    std::vector<int32_t> line_baselines;
    // When set, what is drawn is also recorded there, for a picture written as shapes and
    // text. Not owned.
    DrawingRecord* record = nullptr;
    SpareImage spare;
};

// Notes that the row at the pen begins a line of the input (one that no wrap continues).
inline void canvas_note_line(Canvas& canvas)
{
    if (canvas.noting_lines) canvas.line_baselines.push_back(canvas.pen_y);
}

// Takes the run's drawing settings and makes the glyph engine.
void canvas_init(Canvas& canvas, const DrawingSettings& settings = {});
// A fresh image, every pixel 0 (opaque black), as libgd makes one.
void canvas_create(Canvas& canvas, int32_t width, int32_t height);
// An image for a page, which fills every pixel with its background before it draws: its
// pixels are left as they are.
void canvas_create_for_page(Canvas& canvas, int32_t width, int32_t height);
// Ends the image; its memory is kept for the next.
void canvas_destroy(Canvas& canvas);
// The size of the image whose memory the next page may reuse; 0 x 0 when there is none.
std::pair<int32_t, int32_t> canvas_spare_size(const Canvas& canvas);
void canvas_resize(Canvas& canvas, int32_t width, int32_t height);
// Grows the image by `margin` pixels on every side, in the page's background colour
// (transparent on a transparent page).
void canvas_add_margin(Canvas& canvas, int32_t margin);

// Pixels on each side of an image.
struct Sides {
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t left = 0;
};

// Grows the image by `sides`, the new pixels set to `color` exactly (alpha included).
void canvas_add_border(Canvas& canvas, const Sides& sides, int32_t color);
void canvas_set_foreground(Canvas& canvas, const Rgb& rgb);
void canvas_set_background(Canvas& canvas, const Rgb& rgb);
void canvas_set_transparent_background(Canvas& canvas);
void canvas_fill_rect(Canvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void canvas_move_to(Canvas& canvas, int32_t x, int32_t y);
std::pair<int32_t, int32_t> canvas_position(const Canvas& canvas);

// The size in points that every libgd text call receives: font_size x size_scale, with any
// size that is not a number or above MAX_POINT_SIZE (see glyph.hpp) handed on as
// MAX_POINT_SIZE.
double canvas_point_size(const Canvas& canvas);

// The font name every libgd text call receives: the face of the style texts are drawn in, or
// for regular text the one chosen for the settings' font_name, or it
// itself before a font is chosen for it. Asked for every text, so the name's own storage,
// which never changes, tells at once.
inline const char* canvas_libgd_font(const Canvas& canvas)
{
    if (canvas.style != STYLE_REGULAR) return canvas.styled[canvas.style].choice.libgd_name.c_str();
    const char* name = canvas.settings.font_name;
    if (name == canvas.font.asked_at && name != nullptr) return canvas.font.libgd_name.c_str();
    return canvas.font.asked == name ? canvas.font.libgd_name.c_str() : name;
}

}  // namespace vedad
