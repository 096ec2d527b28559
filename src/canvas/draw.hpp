#pragma once

#include <bitset>
#include <cstdint>

#include "canvas/canvas.hpp"

namespace vedad {

// Draws `text` in one libgd call at the pen, then moves the pen right by the width of its
// bounding box. No character has a meaning of its own here.
void canvas_draw_text(Canvas& canvas, const char* text);

// Draws one character (the low byte of `c`) at the pen. A newline moves the pen to the
// start of the next row; a tab draws tab_width spaces; with fixed_advance every drawn
// character moves the pen by exactly cell_width.
void canvas_draw_char(Canvas& canvas, int32_t c);

// What one page has learnt from the texts it has rendered, so that text which cannot reach
// the image need not be rendered: which glyphs rendered without error, and how far the
// boxes libgd reported reached from their pens. A reader keeps one for its page.
//
// Only text made wholly of such glyphs is ever left unrendered. Loading and rendering a glyph
// at one size gives the same result every time, so such text cannot fail where rendering it
// would have failed, and how far its ink reaches is bounded by what was seen.
struct DrawnGlyphs {
    // Bytes whose glyph has been rendered. For rows only bytes that stand for themselves
    // count (below 128, not '&', which may begin a character reference); a one-character
    // text stands for one glyph whatever its byte.
    std::bitset<256> rendered;
    // Furthest a rendered text's box reached from its pen, in pixels, each 0 or more.
    int64_t up = 0;
    int64_t down = 0;
    int64_t left = 0;
    int64_t right = 0;
};

// canvas_draw_text for a row of text: the same pen movement and the same picture, but a row
// made of rendered glyphs whose ink cannot reach the image by row is only measured.
void canvas_draw_row(Canvas& canvas, const char* text, DrawnGlyphs& drawn);

// canvas_draw_char for a character that is no newline: the same pen movement and the same
// picture, but a rendered glyph whose ink cannot reach the image is only measured. Returns
// whether anything was rendered; when not, drawing the character again at the same pen
// would change nothing either.
bool canvas_draw_glyph(Canvas& canvas, int32_t c, DrawnGlyphs& drawn);

// True when `text`, drawn as a row at the pen, can neither put ink on the image nor change
// the crop, so that it need not even be measured: it is made of rendered glyphs, lies
// wholly above or below the image, and the text extent already covers the image's width.
// Where the pen ends after such a row is not known; the caller starts the next row.
bool canvas_row_is_unseen(const Canvas& canvas, const char* text, const DrawnGlyphs& drawn, int32_t extent_x);

// a + b, held to the 32-bit range: pens and cells never overflow, whatever the spacings.
int32_t add_clamped(int64_t a, int64_t b);

}  // namespace vedad
