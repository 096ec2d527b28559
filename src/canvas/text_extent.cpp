#include "canvas/text_extent.hpp"

namespace vedad {

void raise_extent(TextExtent& extent, const Canvas& canvas)
{
    raise_extent_to(extent, canvas.pen_x, canvas.pen_y);
    if (extent.in_row && canvas.pen_y == extent.row_y) {
        if (canvas.pen_x > extent.row_x) extent.row_x = canvas.pen_x;
        return;
    }
    finish_rows(extent, canvas);
    extent.in_row = true;
    extent.row_x = canvas.pen_x;
    extent.row_y = canvas.pen_y;
}

void raise_extent_to(TextExtent& extent, int32_t x, int32_t y)
{
    if (x > extent.x) extent.x = x;
    if (y > extent.y) extent.y = y;
}

void finish_rows(TextExtent& extent, const Canvas& canvas)
{
    if (!extent.in_row) return;
    extent.in_row = false;
    // A row shows when its lowest inked row lies inside the image.
    const int64_t lowest = int64_t{extent.row_y} + canvas.descent;
    if (lowest < 0 || lowest >= gdImageSY(canvas.image)) return;
    ++extent.rows_shown;
    if (extent.row_x > gdImageSX(canvas.image)) ++extent.rows_cut_right;
}

}  // namespace vedad
