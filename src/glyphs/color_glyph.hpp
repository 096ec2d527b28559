#pragma once

#include <cstdint>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace vedad {

struct GlyphLayout;
struct GlyphImage;

// Glyphs from colour bitmap faces (emoji), drawn in their own colours. Such a face holds
// pictures at a few fixed sizes (strikes); one strike is scaled so that the face's height,
// ascender to descender, fills the rows a line of text inks, with the face's descender on
// the lowest of them.

// The rows a line of text inks: `height` rows, `descent` of them below the baseline. A height
// of 0 or less stands for the em of the point size, with the face's own share below the
// baseline.
struct ColorBand {
    int32_t height = 0;
    int32_t descent = 0;

    bool operator==(const ColorBand&) const = default;
};

// How strike pixels become image pixels: a strike point `y` above the strike's baseline lands
// `factor` × (y − descender) − descent rows above the text's baseline.
struct ColorScale {
    double factor = 0.0;
    double descender = 0.0;  // the strike's, in its pixels (0 or below)
    double descent = 0.0;
};

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
