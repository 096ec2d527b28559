#include "glyphs/glyph_path.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "glyphs/blend.hpp"
#include "glyphs/text_decoding.hpp"

namespace vedad {

namespace {

// Keeps the column after the ink of a glyph from another face than the text's font.
void note_fallback_ink(GlyphPath& path, const Face* font_face, const PlacedGlyph& glyph, const GlyphImage& image)
{
    if (glyph.face == font_face) return;
    const int64_t end = int64_t{glyph.left} + image.width;
    path.fallback_ink_end =
        static_cast<int32_t>(std::clamp<int64_t>(std::max<int64_t>(end, path.fallback_ink_end), INT32_MIN, INT32_MAX));
}

// Renders every placed glyph once into the cache and blends it. False, having drawn nothing,
// when a glyph does not render or lies too far out.
bool draw_cached(GlyphPath& path, const Face* font_face, gdImagePtr image, int color, int x, int y)
{
    for (PlacedGlyph& glyph : path.placed) {
        if (is_line_break(glyph.character)) continue;
        glyph.glyph = face_drawn_glyph(*glyph.face, *glyph.sized, glyph.glyph_index);
        if (glyph.glyph == nullptr || !place_image(glyph, glyph.glyph->image, x, y)) return false;
    }
    for (const PlacedGlyph& glyph : path.placed) {
        if (is_line_break(glyph.character)) continue;
        blend_glyph(image, color, glyph.glyph->image, glyph.left, glyph.top);
        note_fallback_ink(path, font_face, glyph, glyph.glyph->image);
    }
    return true;
}

// The same for glyphs too large to keep: each is rendered on its own, once to see that all
// render and where they go, then again to blend it, so that one glyph's picture is held at a
// time. False, having drawn nothing, as above.
bool draw_uncached(GlyphPath& path, const Face* font_face, gdImagePtr image, int color, int x, int y)
{
    for (const bool blend : {false, true}) {
        for (PlacedGlyph& glyph : path.placed) {
            if (is_line_break(glyph.character)) continue;
            if (!face_render_glyph(*glyph.face, *glyph.sized, glyph.glyph_index, path.scratch)) return false;
            if (!place_image(glyph, path.scratch, x, y)) return false;
            if (!blend) continue;
            blend_glyph(image, color, path.scratch, glyph.left, glyph.top);
            note_fallback_ink(path, font_face, glyph, path.scratch);
        }
    }
    path.scratch = GlyphImage{};
    return true;
}

// Chooses the glyphs of the decoded characters at `points` in the font's face of the style
// (made from its outlines where asked), into `placed`; the face through `chosen`.
bool choose_in_style(GlyphPath& path, const TextStyle& style, const char* font_name, double points,
                     const ColorBand& band, Missing missing, std::vector<PlacedGlyph>& placed, Face** chosen = nullptr)
{
    Face* face = style.made == STYLE_REGULAR ? face_cache_find(path.faces, font_name, points)
                                             : face_cache_find_made(path.faces, font_name, points, style.made);
    if (face == nullptr) return false;
    SizedFace* sized = face_at_size(*face, points);
    if (sized == nullptr) return false;
    if (chosen != nullptr) *chosen = face;
    const GlyphSources sources{path.faces, path.fallback, band, style.style,
                               path.seams.unshaped ? nullptr : &path.shapers, path.ligatures};
    return choose_glyphs(sources, path.characters, *face, *sized, points, missing, placed);
}

// With a pen scale, moves the placed glyphs to pen_scale times their pens at 1/pen_scale of
// the size, and the box across to pen_scale times that size's; its height stays the text's.
bool scale_pens(GlyphPath& path, const TextStyle& style, const char* font_name, double points, int x, int y,
                Missing missing, Corners& corners)
{
    const double laid_out_points = points / path.pen_scale;
    // Clusters are shaped as in the text drawn, so that each glyph has its laid-out twin.
    if (!choose_in_style(path, style, font_name, laid_out_points, path.laid_out_band, missing, path.laid_out))
        return false;
    Corners laid_out_corners;
    if (!place_pens(path.laid_out, laid_out_points, x, y, laid_out_corners)) return false;
    if (path.laid_out.size() != path.placed.size()) return false;
    for (size_t i = 0; i < path.placed.size(); ++i) {
        path.placed[i].pen_x = path.laid_out[i].pen_x * path.pen_scale;
        path.placed[i].pen_y = path.laid_out[i].pen_y * path.pen_scale;
    }
    for (size_t i = 0; i < corners.size(); i += 2) corners[i] = x + (laid_out_corners[i] - x) * path.pen_scale;
    return std::all_of(corners.begin(), corners.end(), [](double corner) { return std::fabs(corner) < SANE_COORDINATE; });
}

// The whole text from the cache; false, having drawn nothing, when any of it must go to libgd.
bool draw_from_cache(GlyphPath& path, gdImagePtr image, int* box, int color, const char* font_name,
                     double points, int x, int y, const char* text, Missing missing)
{
    if (path.seams.libgd_only) return false;
    const TextStyle style = path.style;
    // Monochrome text (a negative colour) and palette images take other ways through libgd.
    if (color < 0 || (image != nullptr && !image->trueColor)) return false;
    if (!(points > 0.0 && points <= MAX_POINT_SIZE)) return false;
    if (!(std::fabs(static_cast<double>(x)) < SANE_COORDINATE && std::fabs(static_cast<double>(y)) < SANE_COORDINATE)) {
        return false;
    }
    if (!decode_text(std::string_view(text), path.characters)) return false;
    if (!path.fallback.enabled) missing = Missing::BOX;
    Face* face = nullptr;
    if (!choose_in_style(path, style, font_name, points, path.color_band, missing, path.placed, &face)) return false;
    Corners corners;
    if (!place_pens(path.placed, points, x, y, corners)) return false;
    if (path.pen_scale > 1 && !scale_pens(path, style, font_name, points, x, y, missing, corners)) return false;

    if (image != nullptr) {
        // Glyphs slanted or emboldened here reach past the box of the glyph they are made from,
        // into the next cell, as glyphs from other faces do: all their ink is noted.
        const Face* own_face = style.made == STYLE_REGULAR ? face : nullptr;
        const bool drawn = points <= MAX_CACHED_POINTS ? draw_cached(path, own_face, image, color, x, y)
                                                       : draw_uncached(path, own_face, image, color, x, y);
        if (!drawn) return false;
    }
    if (box != nullptr) {
        for (size_t i = 0; i < corners.size(); ++i) box[i] = static_cast<int>(corners[i]);
    }
    return true;
}

}  // namespace

const char* glyph_path_string(GlyphPath& path, gdImagePtr image, int* box, int color, const char* font_name,
                              double points, int x, int y, const char* text, Missing missing)
{
    path.fallback_ink_end = INT32_MIN;
    if (draw_from_cache(path, image, box, color, font_name, points, x, y, text, missing)) return nullptr;
    ++path.seams.texts_to_libgd;
    return gdImageStringFT(image, box, color, const_cast<char*>(font_name), points, 0.0, x, y, const_cast<char*>(text));
}

}  // namespace vedad
