#pragma once

#include <cstdint>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "glyphs/glyph.hpp"

namespace vedad {

// Glyphs from colour bitmap faces (emoji), drawn in their own colours. Such a face holds
// pictures at a few fixed sizes (strikes); one strike is scaled so that the face's height,
// ascender to descender, fills the rows a line of text inks, with the face's descender on
// the lowest of them.


// Whether `face` is a colour bitmap face; if so, selects its largest strike into the face's
// active size and its Unicode character map. False for any other face.
bool select_color_strike(FT_Face face);

// The scale for drawing text of `points` points in rows `band`, the strike selected in the
// face's active size.
ColorScale color_scale(FT_Face face, double points, const ColorBand& band);

// What libgd's layout would read of the scaled glyph, in 26.6 units at the layout
// resolution; false when FreeType cannot load it.
bool color_glyph_layout(FT_Face face, FT_UInt glyph_index, const ColorScale& scale, GlyphLayout& layout);

// The scaled picture of the glyph in libgd's colours with their 7-bit alpha; false when
// FreeType cannot load it in colour.
bool color_glyph_image(FT_Face face, FT_UInt glyph_index, const ColorScale& scale, GlyphImage& image);

}  // namespace vedad
