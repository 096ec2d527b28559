#pragma once

#include <cstdint>
#include <string_view>

#include "canvas/canvas.hpp"
#include "canvas/draw.hpp"
#include "canvas/reach.hpp"
#include "canvas/text_extent.hpp"
#include "readers/terminal/ansi_grid.hpp"

namespace vedad {

// How the cells of a terminal's grid are drawn, each at the pen: shared by the still page of
// terminal output and the frames of a recording, so that both draw a screen alike.
struct RowDrawing {
    Canvas& canvas;
    bool transparent;  // cells in the page's own background are left transparent
    Rgb default_background;
    GlyphReach& reach;
    TextExtent& extent;
    int32_t strike_height;  // above the baseline: the middle of the font's x-height
};

// One cell: its background, its text (NUL-terminated: see cell_text) in its face and colours,
// and the lines it asks for.
void draw_grid_cell(RowDrawing& drawing, const Cell& cell, std::string_view text);

// A wide character: its second cell is filled first, so that the glyph drawn in the first
// cell keeps the part that reaches into the second.
void draw_grid_wide_cell(RowDrawing& drawing, const Cell& head, std::string_view head_text, const Cell& tail,
                         std::string_view tail_text);

// An erase that reached the terminal's edge fills the row on to the picture's right edge,
// whatever width the other rows give it; the row shows, but makes the picture no wider.
void fill_row_to_edge(RowDrawing& drawing, Rgb color);

}  // namespace vedad
