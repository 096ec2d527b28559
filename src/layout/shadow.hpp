#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "canvas/canvas.hpp"

namespace vedad {

// How dark the shadow is where the page covers it wholly, from 0 to 1.
inline constexpr double SHADOW_OPACITY = 0.45;

// How dark the shadow is at each pixel of the picture, from 0 to 1, before SHADOW_OPACITY:
// row by row, `width` values each.
struct ShadowPlane {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<float> values;

    float* row(int32_t y) { return values.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    const float* row(int32_t y) const { return values.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
};

// The shadow of a `width` x `height` page with corners rounded by `radius` (held as the page
// holds it), in a plane `margin` pixels larger on every side: the page's shape moved `offset`
// pixels down, cut at the plane's foot, and blurred with a Gaussian of radius `blur`.
ShadowPlane shadow_plane(int32_t width, int32_t height, int32_t blur, int32_t offset, int32_t margin, int32_t radius);

// Puts the page on a transparent picture `margin` pixels larger on every side, over a black
// shadow of its shape (corners rounded by `radius`) moved `offset` pixels down and blurred
// with a Gaussian of radius `blur`. The shadow never lies under the page itself, and what of
// it reaches past the margin is cut.
void add_shadow(Canvas& canvas, int32_t blur, int32_t offset, int32_t margin, int32_t radius);

}  // namespace vedad
