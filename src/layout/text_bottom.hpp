#pragma once

#include <cstdint>

namespace vedad {

// How many rows of pixels a page's text takes from the top: down to the lowest baseline
// `extent_y` plus the `descent` that a row may ink below it, that row included. A page whose
// text reached no baseline below the top edge takes `extent_y` itself, 0 or less.
inline int64_t text_bottom(int32_t extent_y, int32_t descent)
{
    return extent_y > 0 ? int64_t{extent_y} + descent + 1 : extent_y;
}

}  // namespace vedad
