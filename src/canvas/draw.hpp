#pragma once

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

// a + b, held to the 32-bit range: pens and cells never overflow, whatever the spacings.
int32_t add_clamped(int64_t a, int64_t b);

}  // namespace vedad
