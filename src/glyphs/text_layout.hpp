#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "glyphs/face_cache.hpp"
#include "glyphs/fallback_faces.hpp"
#include "glyphs/shape_cluster.hpp"

namespace vedad {

// Where libgd's text call puts each glyph of a text: the glyphs chosen for its characters,
// their pens at the layout resolution, the box the text reports and the top-left pixel of
// each glyph's picture.

// How a character the main font lacks is drawn.
enum class Missing : uint8_t {
    BOX,               // the main font's missing-glyph box, as libgd draws it
    FALLBACK,          // from a fallback face, with that face's advance
    FALLBACK_IN_CELL,  // from a fallback face, with the advance of the main font's box
};

// One character of a text as libgd's layout places it, and where its glyph is drawn.
struct PlacedGlyph {
    uint32_t character;
    Face* face;  // the main face, or the face that has a character it lacks
    SizedFace* sized;
    FT_UInt glyph_index;
    const CachedGlyph* glyph;
    FT_Pos advance;  // kerned, at the layout resolution
    FT_Pos pen_x;
    FT_Pos pen_y;
    int left;  // the glyph's top-left pixel on the image
    int top;
    // A glyph of a shaped cluster sits this far from the pen (rightwards, downwards), in 26.6
    // units at the layout resolution.
    FT_Pos offset_x = 0;
    FT_Pos offset_y = 0;
};

// The corners of a text's box as libgd computes them, before it truncates them to ints.
using Corners = std::array<double, 8>;

// Where characters the main face lacks come from.
struct GlyphSources {
    FaceCache& faces;
    FallbackFaces& fallback;
    const ColorBand& color_band;  // the rows a line inks, which colour glyphs fill
    FaceStyle style = STYLE_REGULAR;  // the style fallback faces are chosen in
    Shapers* shapers = nullptr;       // shapes clusters of several code points; none: never shaped
    bool ligatures = false;           // runs of characters in the face are shaped whole
};

// Pens and corners stay this far inside the int range, so that libgd's conversions never
// overflow.
inline constexpr double SANE_COORDINATE = 1 << 30;

bool is_line_break(uint32_t character);

// Chooses the glyph of each character in `face` as libgd does, kerning added to the advance
// before each kerned pair. A character the face lacks comes from a fallback face when
// `missing` asks for it, unkerned. A grapheme cluster of several code points is shaped whole
// in the face that has its first character (a colour face first for an emoji sequence), where
// that face has every glyph it needs, and is not kerned. With ligatures, each run of two or
// more characters the face has is shaped whole in it, unkerned. False when a glyph does not
// load.
bool choose_glyphs(GlyphSources sources, const std::vector<uint32_t>& characters, Face& face, SizedFace& sized,
                   double points, Missing missing, std::vector<PlacedGlyph>& placed);

// Moves the pen along the chosen glyphs as libgd does (a carriage return or newline back to
// the left, a newline a line lower) and gives the box of the text drawn at (x, y). False when
// a corner lies too far out for libgd's arithmetic.
bool place_pens(std::vector<PlacedGlyph>& placed, double points, int x, int y, Corners& box);

// The top-left pixel of the picture `image` of a glyph placed for a text at (x, y): the pen
// scaled to the drawing resolution plus the picture's offset, truncated towards zero. False
// when it lies too far out.
bool place_image(PlacedGlyph& glyph, const GlyphImage& image, int x, int y);

}  // namespace vedad
