#pragma once

#include <cstdint>
#include <cstdio>

#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"
#include "base/options.hpp"

namespace vedad {

// Sets the point size and the cell for the options' scale: at scale N, glyphs are drawn at N
// times the point size in cells N times those of scale 1.
void setup_page_cell(Canvas& canvas, const Options& options);

// Fills the fresh image, sets the colours, prepares the font and the cell, puts the pen on
// the first baseline, zeroes the text extent and draws `stream` with the chosen reader.
void render_page(Canvas& canvas, const Options& options, FILE* stream, TextExtent& extent);

}  // namespace vedad
