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
// at least one pixel each way and held to the limit (the configured size).
CanvasSize fitted_canvas_size(const Options& options, const TextExtent& extent, int32_t descent);

}  // namespace vedad
