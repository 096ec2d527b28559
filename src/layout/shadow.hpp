#pragma once

#include <cstdint>

#include "canvas/canvas.hpp"

namespace vedad {

// How dark the shadow is where the page covers it wholly, from 0 to 1.
inline constexpr double SHADOW_OPACITY = 0.45;

// Puts the page on a transparent picture `margin` pixels larger on every side, over a black
// shadow of its shape (corners rounded by `radius`) moved `offset` pixels down and blurred
// with a Gaussian of radius `blur`. The shadow never lies under the page itself, and what of
// it reaches past the margin is cut.
void add_shadow(Canvas& canvas, int32_t blur, int32_t offset, int32_t margin, int32_t radius);

}  // namespace vedad
