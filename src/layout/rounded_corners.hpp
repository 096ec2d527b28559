#pragma once

#include <cstdint>

#include "canvas/canvas.hpp"

namespace vedad {

// How much of the pixel (x, y) a `width` x `height` rectangle with corners rounded by
// `radius` covers, from 0 to 1 (the edge of a corner is smoothed over one pixel).
double rounded_rectangle_coverage(int32_t width, int32_t height, int32_t radius, int32_t x, int32_t y);

// The radius a `width` x `height` picture can take: at most half its shorter side.
int32_t held_radius(int32_t width, int32_t height, int32_t radius);

// Rounds the image's corners: outside them transparent, their edges partly transparent.
void round_corners(Canvas& canvas, int32_t radius);

}  // namespace vedad
