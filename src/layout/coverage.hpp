#pragma once

#include <cstdint>

#include <gd.h>

namespace vedad {

// How much of the pixel whose top left corner is (x, y) a disc centred at (cx, cy) with
// radius `radius` covers, from 0 to 1: its edge is smoothed over one pixel.
double disc_coverage(double cx, double cy, double radius, int32_t x, int32_t y);

// Fills a disc in `color` (opaque), its edge blended over what lies beneath.
void fill_disc(gdImagePtr image, double cx, double cy, double radius, int32_t color);

}  // namespace vedad
