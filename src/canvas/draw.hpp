#pragma once

#include <cstdint>

#include "canvas/canvas.hpp"
#include "canvas/character.hpp"
#include "canvas/reach.hpp"
#include "base/rgb.hpp"
#include "canvas/text_extent.hpp"

namespace vedad {

// The drawing every reader goes through: rows of text, single glyphs and coloured cells at
// the pen. Text that cannot reach the image is only measured (see reach.hpp); the pictures,
// pen movements and messages are those of rendering everything.

// Draws `text` as one row at the pen in one libgd call, then moves the pen right by the
// width of its box. No character has a meaning of its own here.
void canvas_draw_row(Canvas& canvas, const char* text, GlyphReach& reach);

// Draws one character as one text at the pen and moves the pen by its advance, or with
// fixed_advance by exactly cell_width.
void canvas_draw_glyph(Canvas& canvas, const Character& character, GlyphReach& reach);

// Moves the pen to the start of the next row.
void canvas_line_break(Canvas& canvas);

struct CellColors {
    Rgb text;
    Rgb background;
};

// The colour a cell's text is drawn in: its text colour, moved as far as the settings'
// min_contrast asks from its background colour.
Rgb canvas_cell_text_color(const Canvas& canvas, const CellColors& colors);

// Draws a character once, in its text colour, over a cell of its background colour (none
// when `transparent`), and raises the text extent to the pen after it. The cell reaches from
// the pen x before the character to the column before the pen x after it, and down from
// line_height rows above the baseline's descent to that descent: cells and rows tile. A
// character that does not move the pen right, or a line_height of 0 or less, fills no cell.
void canvas_draw_cell(Canvas& canvas, const CellColors& colors, const Character& character, bool transparent,
                      GlyphReach& reach, TextExtent& extent);

// canvas_draw_cell for a text drawn as one in its cell, such as a character with the marks
// that join it. Such a text is always rendered: the reach knows only single characters.
void canvas_draw_text_cell(Canvas& canvas, const CellColors& colors, const char* text, bool transparent,
                           TextExtent& extent);

}  // namespace vedad
