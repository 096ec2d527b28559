#pragma once

#include <climits>
#include <cstdint>
#include <vector>

#include <gd.h>

#include "glyphs/face_cache.hpp"
#include "glyphs/fallback_faces.hpp"

namespace vedad {

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
};

// Draws and measures text from cached glyphs, with the pixels, box and errors of libgd's
// text call at an angle of 0.
struct GlyphPath {
    FaceCache faces;
    FallbackFaces fallback;
    // The rows a line inks, which glyphs of colour faces fill (see color_glyph.hpp).
    ColorBand color_band;
    // Nonzero: every text goes to libgd (the reference the glyph path is tested against).
    int32_t libgd_only = 0;
    // How many texts were handed to libgd.
    uint64_t texts_to_libgd = 0;
    // The column after the rightmost ink that the last text drew from faces other than its
    // font; INT32_MIN when it drew none.
    int32_t fallback_ink_end = INT32_MIN;
    // Working space kept between calls.
    std::vector<uint32_t> characters;
    std::vector<PlacedGlyph> placed;
};

// gdImageStringFT(image, box, color, font_name, points, 0.0, x, y, text): draws `text` on
// `image` (or, with a null image, only measures it), fills `box` (when not null) with the
// corners libgd reports and returns libgd's error text, or null. Text it cannot draw
// exactly as libgd does is handed to libgd. With fallback enabled, `missing` says how
// characters the font lacks are drawn; text that holds none draws as libgd draws it.
const char* glyph_path_string(GlyphPath& path, gdImagePtr image, int* box, int color, const char* font_name,
                              double points, int x, int y, const char* text, Missing missing = Missing::BOX);

}  // namespace vedad
