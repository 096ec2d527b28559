#pragma once

#include <cstdint>

#include "base/options.hpp"
#include "canvas/text_extent.hpp"

namespace vedad {

struct CanvasSize {
    int32_t width;
    int32_t height;
};

// With --fit: the canvas that holds a page whose text reached `extent`, measured on a canvas
// as tall as the limit: as wide as the widest row and down to the lowest row's descenders,
// at least one pixel each way, held to the limit (the configured size) and to the budget.
CanvasSize fitted_canvas_size(const Options& options, const TextExtent& extent, int32_t descent);

// `size`, or less, so that the picture, margin included, holds at most max_pixels: rows are
// cut at the bottom first, as text past any limit is, and only a single row too wide for the
// budget is cut at the right too. The text cut is counted in the cut warning.
CanvasSize held_to_budget(const Options& options, CanvasSize size);

}  // namespace vedad
