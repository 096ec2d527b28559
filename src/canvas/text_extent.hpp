#pragma once

#include <cstdint>

#include "canvas/canvas.hpp"

namespace vedad {

// How far a page's text reached: the largest pen x and the lowest baseline read after each
// drawn row or cell. A line break alone never raises it. Cropping reads it.
//
// It also follows the rows, told apart by their baselines, to say how much text the canvas
// cut: of the rows that show in the image's height, how many reached past its right edge.
struct TextExtent {
    int32_t x = 0;
    int32_t y = 0;
    bool in_row = false;  // a row has been begun and not yet counted
    int32_t row_x = 0;    // the furthest pen x of that row
    int32_t row_y = 0;    // and its baseline
    int64_t rows_shown = 0;
    int64_t rows_cut_right = 0;
};

// Takes in the pen where the last row or cell ended.
void raise_extent(TextExtent& extent, const Canvas& canvas);

// Raises the extent to a pen that stands for text not drawn, with no row of its own.
void raise_extent_to(TextExtent& extent, int32_t x, int32_t y);

// Counts the row begun last, once the page is drawn.
void finish_rows(TextExtent& extent, const Canvas& canvas);

}  // namespace vedad
