#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "glyphs/glyph.hpp"
#include "fonts/face_style.hpp"
#include "fonts/font_lookup.hpp"

namespace vedad {

// The faces text is drawn from, each glyph loaded and rendered once per point size with
// exactly the FreeType calls libgd's text call makes, so that text laid out and blended
// from here looks as libgd would draw it. Whatever libgd would do differently (a font it
// finds no file for, a format or character map not proven here, any error from FreeType)
// is reported as not available, and the caller leaves that text to libgd.


// One face at one character size (libgd's point size in 26.6, as handed to FreeType).
struct SizedFace {
    FT_F26Dot6 char_size = 0;
    FT_Size layout_size = nullptr;   // owned by the face
    FT_Size drawing_size = nullptr;  // made when the first text is drawn
    Loaded drawing_ready = Loaded::NOT_YET;
    // A colour face's: the rows its glyphs fill and how its strike is scaled to them.
    ColorBand color_band;
    ColorScale color_scale;
    std::vector<std::unique_ptr<CachedGlyph>> glyphs;  // by glyph index
    std::unordered_map<uint64_t, FT_Pos> kerning;      // by pair of glyph indices
};

struct Face {
    Face() = default;
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
    ~Face();

    std::string font_name;  // as handed to libgd; empty for a face only characters the main font lacks come from
    std::string path;       // the file libgd resolved it to
    int index = 0;          // the face in the file
    FT_Face face = nullptr;
    bool usable = false;  // false: every text in it goes to libgd
    bool kerned = false;  // libgd kerns pairs of glyphs in this face
    bool color = false;   // a colour bitmap face: glyphs are pictures scaled to the line
    // What FreeType makes of each outline as it is drawn: emboldened, slanted or both, for a
    // style the family has no face of. The layout stays the face's own, so every glyph keeps
    // its advance.
    FaceStyle made = STYLE_REGULAR;
    std::unordered_map<uint32_t, FT_UInt> glyph_indices;  // by character, as met
    std::vector<std::unique_ptr<SizedFace>> sizes;
};

struct FaceCache {
    FaceCache() = default;
    FaceCache(const FaceCache&) = delete;
    FaceCache& operator=(const FaceCache&) = delete;
    ~FaceCache();

    FT_Library library = nullptr;
    bool library_failed = false;
    std::vector<std::unique_ptr<Face>> faces;
    FontLookup lookup;  // installed fonts by name and by character
};

// The face libgd would use for `font_name` (asked of libgd once per name), or null when
// libgd finds none or the face cannot be drawn from here.
Face* face_cache_find(FaceCache& cache, const char* font_name, double points);

// The same face with the style `made` made from its outlines (see Face::made), opened apart.
Face* face_cache_find_made(FaceCache& cache, const char* font_name, double points, FaceStyle made);

// Text handed over as `font_name` is drawn from `file`'s face, where libgd would draw the first
// face of the file it finds for the name: a face of a collection other than its first.
void face_cache_use_face(FaceCache& cache, const char* font_name, const FontFile& file);

// The face `file` holds, opened once, for drawing characters another face lacks in the
// same size and layout: any scalable face FreeType reads through a Unicode character map.
// Null when it cannot be drawn from.
Face* face_cache_open_file(FaceCache& cache, const FontFile& file);

// The glyph index of a character, from the character map libgd chooses.
FT_UInt face_glyph_index(Face& face, uint32_t character);

// The face at libgd's character size for `points`, its layout size set; null when FreeType
// refuses the size. A colour face's glyphs fill the rows of `band`.
SizedFace* face_at_size(Face& face, double points, const ColorBand& band = {});

// The glyph loaded at the layout resolution; null when FreeType cannot load it.
const CachedGlyph* face_layout_glyph(Face& face, SizedFace& sized, FT_UInt glyph_index);

// The glyph rendered at the drawing resolution, as libgd renders it; null when FreeType
// cannot, or renders it in a pixel mode libgd does not draw.
const CachedGlyph* face_drawn_glyph(Face& face, SizedFace& sized, FT_UInt glyph_index);

// The glyph rendered at the drawing resolution into `image`, which the cache does not keep;
// false as for face_drawn_glyph.
bool face_render_glyph(Face& face, SizedFace& sized, FT_UInt glyph_index, GlyphImage& image);

// The kerning libgd adds to the advance of `left` before `right`, in 26.6 units at the
// layout resolution.
FT_Pos face_kerning(Face& face, SizedFace& sized, FT_UInt left, FT_UInt right);

}  // namespace vedad
