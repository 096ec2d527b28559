#pragma once

#include <cstdio>

#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"
#include "base/options.hpp"

namespace vedad {

// Draws terminal output: the stream is read as a terminal would show it (text with escape
// sequences, onto a grid of cells), and the grid is then drawn row by row, each cell as the
// span reader draws a cell with fixed advance, each row ending in a line break.
void read_ansi(Canvas& canvas, FILE* stream, const Options& options, TextExtent& extent);

}  // namespace vedad
