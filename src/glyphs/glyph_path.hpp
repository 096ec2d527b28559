#pragma once

#include <climits>
#include <cstdint>
#include <vector>

#include <gd.h>

#include "glyphs/face_cache.hpp"
#include "glyphs/fallback_faces.hpp"
#include "glyphs/text_layout.hpp"

namespace vedad {

// The style a text is drawn in: the face style characters from fallback faces take, and what
// is made of the font's own outlines (see face_cache.hpp) where its family has no face of the
// style.
struct TextStyle {
    FaceStyle style = STYLE_REGULAR;
    FaceStyle made = STYLE_REGULAR;
};

// What tests set and read to compare the glyph path with libgd and the drawing of everything
// with the leaving out of what cannot show. A run never changes them.
struct TestSeams {
    // Every text goes to libgd.
    bool libgd_only = false;
    // Every text and character is rendered, also where it cannot reach the image.
    bool draw_everything = false;
    // Clusters of several code points are drawn code point by code point, as libgd draws them
    // (and as a cluster that cannot be shaped is drawn).
    bool unshaped = false;
    // How many texts were handed to libgd.
    uint64_t texts_to_libgd = 0;
};

// Draws and measures text from cached glyphs, with the pixels, box and errors of libgd's
// text call at an angle of 0.
struct GlyphPath {
    FaceCache faces;
    FallbackFaces fallback;
    Shapers shapers;  // after the faces, so that it goes before them
    // The rows a line inks, which glyphs of colour faces fill (see color_glyph.hpp).
    ColorBand color_band;
    // A page drawn N times as large as it was laid out (--scale): each glyph stands N times as
    // far along as at 1/N of the size, in the band of that size, so that a row keeps N times
    // its laid-out length where the larger glyphs' own advances would add up to more or less.
    int32_t pen_scale = 1;
    ColorBand laid_out_band;
    TestSeams seams;
    // Runs of text in the font are shaped with its ligatures (see choose_glyphs).
    bool ligatures = false;
    // The style the texts are drawn in (see TextStyle), set by whoever draws them.
    TextStyle style;
    // The column after the rightmost ink that the last text drew from faces other than its
    // font, or from a face with a style made from its outlines; INT32_MIN when it drew none.
    int32_t fallback_ink_end = INT32_MIN;
    // Working space kept between calls.
    std::vector<uint32_t> characters;
    std::vector<PlacedGlyph> placed;
    std::vector<PlacedGlyph> laid_out;  // the glyphs at 1/pen_scale of the size
    GlyphImage scratch;  // a glyph of a size too large to keep
};


// Above this size glyph pictures are rendered for each text and not kept: a page of them
// would take much memory, and such sizes are rare.
inline constexpr double MAX_CACHED_POINTS = 200.0;

// gdImageStringFT(image, box, color, font_name, points, 0.0, x, y, text): draws `text` on
// `image` (or, with a null image, only measures it), fills `box` (when not null) with the
// corners libgd reports and returns libgd's error text, or null. Text it cannot draw
// exactly as libgd does is handed to libgd. With fallback enabled, `missing` says how
// characters the font lacks are drawn; text that holds none draws as libgd draws it. The text
// is drawn in the path's style: one made from the outlines is the glyph path's own, and where
// the text goes to libgd, it is drawn in the font as it is.
const char* glyph_path_string(GlyphPath& path, gdImagePtr image, int* box, int color, const char* font_name,
                              double points, int x, int y, const char* text, Missing missing = Missing::BOX);

}  // namespace vedad
