#pragma once

#include <array>
#include <cstdint>

#include "canvas/canvas.hpp"
#include "glyphs/glyph_path.hpp"

namespace vedad {

// The corners libgd reports for a text: lower left, lower right, upper right, upper left,
// each as x then y.
using TextBox = std::array<int, 8>;

// The one place where text is drawn: draws `text` in the canvas's font, point size and
// foreground colour with its baseline starting at (x, y) on `image`, or only measures it when
// `image` is null, through the canvas's glyph path. Fills `box` and returns libgd's error text, or null: what libgd's call gives.
// `missing` says how characters the font lacks are drawn when the canvas falls back to
// other faces (see glyph_path.hpp).
const char* canvas_render_text(const Canvas& canvas, gdImagePtr image, int32_t x, int32_t y, const char* text,
                               TextBox& box, Missing missing);

// The width of a text's box: its advance. The corners follow the pen, which may stand
// anywhere in the 32-bit range.
int32_t box_width(const TextBox& box);

}  // namespace vedad
