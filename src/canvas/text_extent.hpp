#pragma once

#include <cstdint>

#include "canvas/canvas.hpp"

namespace vedad {

// How far a page's text reached: the largest pen x and the lowest baseline read after each
// drawn row or cell. A line break alone never raises it. Cropping reads it.
struct TextExtent {
    int32_t x = 0;
    int32_t y = 0;
};

// Takes in the pen where the last row or cell ended.
inline void raise_extent(TextExtent& extent, const Canvas& canvas)
{
    if (canvas.pen_x > extent.x) extent.x = canvas.pen_x;
    if (canvas.pen_y > extent.y) extent.y = canvas.pen_y;
}

}  // namespace vedad
