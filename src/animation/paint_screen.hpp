#pragma once

#include <cstdint>

#include "animation/screen_cells.hpp"
#include "canvas/canvas.hpp"
#include "canvas/reach.hpp"
#include "canvas/text_extent.hpp"

namespace vedad {

// Pixels of the picture, both ends included; empty when left > right.
struct PixelArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;

    bool empty() const { return left > right || top > bottom; }
};

// Draws screens of a terminal on a canvas whose cell is set up, its first row's baseline one
// line down from the top, every cell as the still page of terminal output draws it. The
// glyphs learnt are kept for every frame.
struct ScreenPainter {
    Canvas* canvas = nullptr;
    bool transparent = false;  // cells in the page's own background are left transparent
    Rgb default_background{};
    int32_t strike_height = 0;
    GlyphReach reach;
    TextExtent extent;
};

void painter_init(ScreenPainter& painter, Canvas& canvas, bool transparent, Rgb default_background);

// Draws `area` of the screen again: within the cells around it, every pixel becomes what
// drawing the whole screen on a fresh page gives, provided no glyph inks more than a cell
// beyond its own. An empty area draws the whole screen. Returns the pixels that may have
// changed.
PixelArea paint_screen(ScreenPainter& painter, const ScreenCells& screen, CellArea area);

}  // namespace vedad
