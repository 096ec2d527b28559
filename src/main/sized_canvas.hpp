#pragma once

#include <cstdio>

#include "base/options.hpp"
#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"
#include "layout/fit.hpp"

namespace vedad {

// Draws the page of `input` on a canvas of `size`, or first on a shorter one when the input
// is a regular file whose rows cannot fill it: a one-line file then fills and allocates a
// band of the canvas, not all of it. When the text reaches the shorter canvas's bottom, or
// the page looks empty, the page is drawn again on the whole canvas; either way the picture
// cropped from it is the one the whole canvas gives. Reader warnings are told once.
void draw_page_on_sized_canvas(const Options& options, Canvas& canvas, FILE* input, CanvasSize size,
                               TextExtent& extent);

}  // namespace vedad
