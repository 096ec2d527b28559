#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fonts/face_style.hpp"
#include "glyphs/text_layout.hpp"

namespace vedad {

struct Canvas;

// What a page's drawing put on the canvas, kept for a picture written as shapes and text
// rather than pixels. Colours are libgd true colours, alpha included; every position is in
// the picture's pixels as the canvas has them now (borders added later move what came before).

// A filled rectangle from (x, y), or with `round` the disc it holds.
struct RecordedShape {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t color = 0;
    bool round = false;
};

// A text drawn with its baseline at y: each character's pen x in `xs`, the characters
// themselves in `characters` (UTF-8, one entry each; a grapheme cluster of several code
// points is one character).
struct RecordedText {
    int32_t y = 0;
    int32_t end_x = 0;  // the pen after it
    std::vector<int32_t> xs;
    std::vector<std::string> characters;
    int32_t color = 0;
    FaceStyle style = STYLE_REGULAR;
    double points = 0.0;
    // With outlines recorded: for each character the index of its outline in
    // DrawingRecord::outlines, or NO_OUTLINE (written as text), or BLANK_OUTLINE (nothing to draw).
    std::vector<int32_t> outlines;
};

inline constexpr int32_t NO_OUTLINE = -1;
inline constexpr int32_t BLANK_OUTLINE = -2;

// A glyph's outline as SVG path data in its face's units, and what scales it to pixels.
struct RecordedOutline {
    std::string path;
    double scale = 0.0;
};

struct DrawingRecord {
    // Under everything: the page's background, then the borders laid around it, the
    // outermost first.
    std::vector<RecordedShape> under;
    int32_t page_color = 0;
    bool page_laid = false;  // the page's background is in `under`
    std::vector<RecordedShape> shapes;  // cell backgrounds, lines, buttons: in drawing order
    std::vector<RecordedText> texts;
    // Rounded corners: the picture as it was rounded, and how many entries at the front of
    // `under` came after it (they lie outside the rounding).
    RecordedShape rounded;
    int32_t radius = 0;
    size_t under_after_rounding = 0;
    // A drop shadow of the rounded page's shape, blurred with a Gaussian of this radius.
    bool shadow = false;
    RecordedShape shadow_shape;
    int32_t shadow_blur = 0;
    // The glyph outlines the texts' characters are drawn with, when record_outlines was asked.
    bool outlined = false;
    std::vector<RecordedOutline> outlines;
    // While set, nothing is recorded: a glyph drawn again over a cell is already recorded.
    bool paused = false;
};

// The family name of the page's font, its quotes left out; empty when it is not known.
std::string canvas_font_family(const Canvas& canvas);

// Forgets everything recorded: the page is drawn again.
void record_clear(DrawingRecord& record);

// The picture's background, as the canvas is filled with it.
void record_page_background(DrawingRecord& record, int32_t color);

void record_fill(DrawingRecord& record, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color);

// A border of `left`, `top`, `right`, `bottom` pixels in `color` around a `width` x `height`
// picture: what is recorded moves by `left` and `top`.
void record_border(DrawingRecord& record, int32_t width, int32_t height, int32_t left, int32_t top, int32_t right,
                   int32_t bottom, int32_t color);

void record_disc(DrawingRecord& record, double cx, double cy, double radius, int32_t color);

// The `width` x `height` picture's corners rounded by `radius`.
void record_rounding(DrawingRecord& record, int32_t width, int32_t height, int32_t radius);

// The `width` x `height` picture laid `margin` pixels in on a larger one, over its shadow
// moved `offset` down and blurred by `blur`.
void record_shadow(DrawingRecord& record, int32_t width, int32_t height, int32_t margin, int32_t offset,
                   int32_t blur);

// A text drawn at (x, y) in the canvas's face, size and foreground colour, its pen ending at
// end_x: each character (each grapheme cluster) is measured for its place.
void record_text(DrawingRecord& record, const Canvas& canvas, int32_t x, int32_t y, int32_t end_x, const char* text,
                 Missing missing);

// Finds the outline of every recorded character's glyph in the face of its text's style, each
// glyph's once. Characters the face lacks (drawn from another face) and glyphs of bitmap faces
// are left to be written as text. A style made from the regular face takes its outlines.
void record_outlines(DrawingRecord& record, const Canvas& canvas);

}  // namespace vedad
