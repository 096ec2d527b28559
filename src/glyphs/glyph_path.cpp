#include "glyphs/glyph_path.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "glyphs/text_decoding.hpp"

namespace vedad {

namespace {

// libgd's spacing of lines for a newline inside a text, in font heights.
constexpr double LINE_SPACE = 1.05;

// The largest point size drawn from the cache; above it rendered glyphs would take much
// memory and are rare, and libgd draws them. Text of any size is measured from the cache.
constexpr double MAX_DRAWN_POINTS = 200.0;

// Beyond this libgd's conversion of the size to 26.6 units would overflow.
constexpr double MAX_MEASURED_POINTS = 1e6;

// Pens and corners stay this far inside the int range, so that libgd's conversions never
// overflow.
constexpr double SANE_COORDINATE = 1 << 30;

using Corners = std::array<double, 8>;

bool is_break(uint32_t character)
{
    return character == '\r' || character == '\n';
}

// How the character is asked to be shown by the variation selector after it, if any.
Presentation presentation_of(const std::vector<uint32_t>& characters, size_t i)
{
    if (i + 1 < characters.size()) {
        if (characters[i + 1] == 0xFE0F) return Presentation::EMOJI;
        if (characters[i + 1] == 0xFE0E) return Presentation::TEXT;
    }
    return Presentation::DEFAULT;
}

// The face and glyph a character the main face lacks is drawn with; false when no other face
// has it.
bool find_fallback(GlyphPath& path, uint32_t character, Presentation presentation, double points,
                   PlacedGlyph& glyph)
{
    if (!wants_fallback(character)) return false;
    Face* face = fallback_face(path.fallback, path.faces, character, presentation, points);
    if (face == nullptr) return false;
    SizedFace* sized = face_at_size(*face, points, path.color_band);
    if (sized == nullptr) return false;
    const FT_UInt glyph_index = face_glyph_index(*face, character);
    const CachedGlyph* layout = face_layout_glyph(*face, *sized, glyph_index);
    if (layout == nullptr) return false;
    glyph = PlacedGlyph{character, face, sized, glyph_index, layout, layout->layout.advance, 0, 0, 0, 0};
    return true;
}

// Lays the characters out as libgd does: advances at the layout resolution, kerning added to
// the advance before each kerned pair, a carriage return or newline back to the left, and
// the box's corners before libgd truncates them. A character the face lacks comes from a
// fallback face when `missing` asks for it, unkerned. False when a glyph does not load.
bool lay_out(GlyphPath& path, Face& face, SizedFace& sized, double points, int x, int y, Missing missing,
             Corners& box)
{
    std::vector<PlacedGlyph>& placed = path.placed;
    placed.resize(path.characters.size());
    FT_UInt previous = 0;
    for (size_t i = 0; i < placed.size(); ++i) {
        const uint32_t character = path.characters[i];
        const FT_UInt glyph_index = face_glyph_index(face, character);
        if (glyph_index == 0 && missing != Missing::BOX && find_fallback(path, character, presentation_of(path.characters, i), points, placed[i])) {
            if (missing == Missing::FALLBACK_IN_CELL) {
                // The cell is laid out as for the font's own box: the same box and advance.
                // The image still comes from the other face (see place_images).
                const CachedGlyph* box_glyph = face_layout_glyph(face, sized, 0);
                if (box_glyph == nullptr) return false;
                placed[i].glyph = box_glyph;
                placed[i].advance = box_glyph->layout.advance;
            }
            previous = 0;
            continue;
        }
        FT_Pos kerning = 0;
        if (face.kerned && previous != 0 && glyph_index != 0) kerning = face_kerning(face, sized, previous, glyph_index);
        const CachedGlyph* glyph = face_layout_glyph(face, sized, glyph_index);
        if (glyph == nullptr) return false;
        if (kerning != 0) placed[i - 1].advance += kerning;
        placed[i] = PlacedGlyph{character, &face, &sized, glyph_index, glyph, glyph->layout.advance, 0, 0, 0, 0};
        previous = is_break(character) ? 0 : glyph_index;
    }

    FT_Vector pen{0, 0};
    FT_Vector total_min{0, 0};
    FT_Vector total_max{0, 0};
    for (size_t i = 0; i < placed.size(); ++i) {
        PlacedGlyph& glyph = placed[i];
        if (glyph.character == '\r') {
            pen.x = 0;
            continue;
        }
        if (glyph.character == '\n') {
            pen.x = 0;
            pen.y += LINE_SPACE * points * 64 * LAYOUT_RESOLUTION / 72;
            pen.y &= ~63;
            continue;
        }
        const GlyphLayout& layout = glyph.glyph->layout;
        const int advance = static_cast<int>(glyph.advance);  // libgd keeps it in an int
        const FT_Vector glyph_min{pen.x + layout.bearing_x, pen.y - layout.bearing_y};
        const FT_Vector glyph_max{pen.x + advance, glyph_min.y + layout.height};
        if (i == 0) {
            total_min = glyph_min;
            total_max = glyph_max;
        } else {
            total_min.x = std::min(total_min.x, glyph_min.x);
            total_min.y = std::min(total_min.y, glyph_min.y);
            total_max.x = std::max(total_max.x, glyph_max.x);
            total_max.y = std::max(total_max.y, glyph_max.y);
        }
        glyph.pen_x = pen.x;
        glyph.pen_y = pen.y;
        pen.x += advance;
    }

    // libgd's rotation of the box by an angle of 0, scaled to the drawing resolution.
    const double sin_a = 0.0;
    const double cos_a = 1.0;
    const double scale_x = static_cast<double>(DRAWING_RESOLUTION) / (64 * LAYOUT_RESOLUTION);
    const double scale_y = static_cast<double>(DRAWING_RESOLUTION) / (64 * LAYOUT_RESOLUTION);
    box = {
        x + (total_min.x * cos_a + total_max.y * sin_a) * scale_x,
        y - (total_min.x * sin_a - total_max.y * cos_a) * scale_y,
        x + (total_max.x * cos_a + total_max.y * sin_a) * scale_x,
        y - (total_max.x * sin_a - total_max.y * cos_a) * scale_y,
        x + (total_max.x * cos_a + total_min.y * sin_a) * scale_x,
        y - (total_max.x * sin_a - total_min.y * cos_a) * scale_y,
        x + (total_min.x * cos_a + total_min.y * sin_a) * scale_x,
        y - (total_min.x * sin_a - total_min.y * cos_a) * scale_y,
    };
    return std::all_of(box.begin(), box.end(), [](double corner) { return std::fabs(corner) < SANE_COORDINATE; });
}

// Renders the placed glyphs and finds where libgd puts each one's top-left pixel: the pen
// scaled to the drawing resolution plus the bitmap's offset, truncated towards zero. False
// when a glyph does not render.
bool place_images(GlyphPath& path, int x, int y)
{
    const double sin_a = 0.0;
    const double cos_a = 1.0;
    for (PlacedGlyph& glyph : path.placed) {
        if (is_break(glyph.character)) continue;
        glyph.glyph = face_drawn_glyph(*glyph.face, *glyph.sized, glyph.glyph_index);
        if (glyph.glyph == nullptr) return false;
        const GlyphImage& image = glyph.glyph->image;
        const FT_Pos pen_x = glyph.pen_x;
        const FT_Pos pen_y = glyph.pen_y;
        const double left =
            x + (pen_x * cos_a + pen_y * sin_a) * DRAWING_RESOLUTION / (LAYOUT_RESOLUTION * 64) + image.left;
        const double top = y - (pen_x * sin_a - pen_y * cos_a) * DRAWING_RESOLUTION / (LAYOUT_RESOLUTION * 64) - image.top;
        if (!(std::fabs(left) < SANE_COORDINATE && std::fabs(top) < SANE_COORDINATE)) return false;
        glyph.left = static_cast<int>(left);
        glyph.top = static_cast<int>(top);
    }
    return true;
}

// libgd's gdAlphaBlend(dst, src), written out so that the pixel loop need not call it: the
// same arithmetic, with the division by the total weight known to be by 127 over an opaque
// pixel, where the compiler turns it into a multiplication.
inline int blend_over(int dst, int src)
{
    const int src_alpha = gdTrueColorGetAlpha(src);
    if (src_alpha == gdAlphaOpaque) return src;
    const int dst_alpha = gdTrueColorGetAlpha(dst);
    if (src_alpha == gdAlphaTransparent) return dst;
    if (dst_alpha == gdAlphaTransparent) return src;
    const int src_weight = gdAlphaTransparent - src_alpha;
    const int dst_weight = (gdAlphaTransparent - dst_alpha) * src_alpha / gdAlphaMax;
    const int alpha = src_alpha * dst_alpha / gdAlphaMax;
    const auto mix = [&](int total_weight) {
        const int red = (gdTrueColorGetRed(src) * src_weight + gdTrueColorGetRed(dst) * dst_weight) / total_weight;
        const int green =
            (gdTrueColorGetGreen(src) * src_weight + gdTrueColorGetGreen(dst) * dst_weight) / total_weight;
        const int blue = (gdTrueColorGetBlue(src) * src_weight + gdTrueColorGetBlue(dst) * dst_weight) / total_weight;
        return (alpha << 24) + (red << 16) + (green << 8) + blue;
    };
    if (dst_alpha == gdAlphaOpaque) return mix(gdAlphaTransparent);  // the weights add up to 127
    return mix(src_weight + dst_weight);
}

// Blends a glyph's coverage into the true-colour pixels as libgd does: the colour's own alpha
// bounds the coverage, the clipping rectangle bounds the pixels, and with alpha blending on
// a pixel that is not fully transparent is blended, any other replaced. A colour glyph's
// pixels bring their own colour and coverage; the text colour gives only its alpha.
template <bool OWN_COLORS>
void blend_pixels(gdImagePtr image, int color, const GlyphImage& glyph, int left, int top)
{
    const int color_alpha = gdTrueColorGetAlpha(color);
    const int text_rgb = color & 0xFFFFFF;
    const bool blending = image->alphaBlendingFlag != 0;
    const int first_row = std::max(0, image->cy1 - top);
    const int end_row = std::min(glyph.rows, image->cy2 - top + 1);
    const int first_col = std::max(0, image->cx1 - left);
    const int end_col = std::min(glyph.width, image->cx2 - left + 1);
    for (int row = first_row; row < end_row; ++row) {
        int* line = image->tpixels[top + row] + left;
        const size_t start = static_cast<size_t>(row) * static_cast<size_t>(glyph.width);
        for (int col = first_col; col < end_col; ++col) {
            int coverage;
            int rgb;
            if constexpr (OWN_COLORS) {
                const int own = glyph.colors[start + static_cast<size_t>(col)];
                coverage = gdAlphaMax - gdTrueColorGetAlpha(own);
                rgb = own & 0xFFFFFF;
            } else {
                coverage = glyph.levels[start + static_cast<size_t>(col)];
                rgb = text_rgb;
            }
            if (coverage == 0) continue;
            const int alpha = color_alpha == gdAlphaOpaque
                                  ? gdAlphaMax - coverage
                                  : gdAlphaMax - coverage * (gdAlphaMax - color_alpha) / gdAlphaMax;
            int& pixel = line[col];
            const int source = (alpha << 24) + rgb;
            if (blending && gdTrueColorGetAlpha(pixel) != gdAlphaTransparent) {
                pixel = blend_over(pixel, source);
            } else {
                pixel = source;
            }
        }
    }
}

void blend_glyph(gdImagePtr image, int color, const GlyphImage& glyph, int left, int top)
{
    if (glyph.colors.empty()) blend_pixels<false>(image, color, glyph, left, top);
    else blend_pixels<true>(image, color, glyph, left, top);
}

// The whole text from the cache; false, having drawn nothing, when any of it must go to libgd.
bool draw_from_cache(GlyphPath& path, gdImagePtr image, int* box, int color, const char* font_name,
                     double points, int x, int y, const char* text, Missing missing)
{
    if (path.libgd_only != 0) return false;
    // Monochrome text (a negative colour) and palette images take other ways through libgd.
    if (color < 0 || (image != nullptr && !image->trueColor)) return false;
    if (!(points > 0.0 && points <= (image != nullptr ? MAX_DRAWN_POINTS : MAX_MEASURED_POINTS))) return false;
    if (!(std::fabs(static_cast<double>(x)) < SANE_COORDINATE && std::fabs(static_cast<double>(y)) < SANE_COORDINATE)) {
        return false;
    }
    if (!decode_text(std::string_view(text), path.characters)) return false;
    Face* face = face_cache_find(path.faces, font_name, points);
    if (face == nullptr) return false;
    SizedFace* sized = face_at_size(*face, points);
    if (sized == nullptr) return false;
    Corners corners;
    if (!path.fallback.enabled) missing = Missing::BOX;
    if (!lay_out(path, *face, *sized, points, x, y, missing, corners)) return false;

    if (image != nullptr) {
        if (!place_images(path, x, y)) return false;
        for (const PlacedGlyph& glyph : path.placed) {
            if (is_break(glyph.character)) continue;
            blend_glyph(image, color, glyph.glyph->image, glyph.left, glyph.top);
            if (glyph.face != face) {
                const int64_t end = int64_t{glyph.left} + glyph.glyph->image.width;
                path.fallback_ink_end = static_cast<int32_t>(std::clamp<int64_t>(
                    std::max<int64_t>(end, path.fallback_ink_end), INT32_MIN, INT32_MAX));
            }
        }
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
    ++path.texts_to_libgd;
    return gdImageStringFT(image, box, color, font_name, points, 0.0, x, y, text);
}

}  // namespace vedad
