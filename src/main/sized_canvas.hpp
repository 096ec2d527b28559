#pragma once

#include <cstdio>

#include "base/options.hpp"
#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"
#include "layout/fit.hpp"

namespace vedad {

// Draws the page of `input` on a canvas of `size`, or first on a smaller one when the input
// is a regular file whose rows cannot fill it: a one-line file then fills and allocates a
// corner of the canvas, as wide as its bytes and as tall as its rows with some to spare.
// When the text reaches that canvas's right or bottom edge, or the page looks empty, the page
// is drawn again on the whole canvas; either way the picture cropped from it is the one the
// whole canvas gives. Reader warnings are told once.
void draw_page_on_sized_canvas(const Options& options, Canvas& canvas, FILE* input, CanvasSize size,
                               TextExtent& extent);

}  // namespace vedad
