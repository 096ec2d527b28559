#include "canvas/glyph_path.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "canvas/text_decoding.hpp"

namespace vedad {

namespace {

// libgd's spacing of lines for a newline inside a text, in font heights.
constexpr double LINE_SPACE = 1.05;

// The largest point size drawn from the cache; above it glyphs would take much memory and
// are rare, and libgd draws them.
constexpr double MAX_CACHED_POINTS = 200.0;

// Pens and corners stay this far inside the int range, so that libgd's conversions never
// overflow.
constexpr double SANE_COORDINATE = 1 << 30;

// One glyph of a text as libgd's layout places it.
struct Placed {
    FT_UInt glyph_index;
    FT_Pos pen_x;
    FT_Pos pen_y;
};

struct Layout {
    std::vector<Placed> glyphs;
    std::array<double, 8> box{};
};

bool is_break(uint32_t character)
{
    return character == '\r' || character == '\n';
}

// Lays the characters out as libgd does: advances at the layout resolution, kerning added to
// the advance before each kerned pair, a carriage return or newline back to the left, and
// the box's corners before libgd rounds them. False when a glyph does not load.
bool lay_out(Face& face, SizedFace& sized, const std::vector<uint32_t>& characters, double points, int x, int y,
             Layout& layout)
{
    const size_t count = characters.size();
    std::vector<FT_Pos> advances(count);
    std::vector<FT_UInt> indices(count);
    std::vector<const CachedGlyph*> glyphs(count);
    FT_UInt previous = 0;
    for (size_t i = 0; i < count; ++i) {
        const FT_UInt glyph_index = face_glyph_index(face, characters[i]);
        FT_Pos kerning = 0;
        if (face.kerned && previous != 0 && glyph_index != 0) kerning = face_kerning(face, sized, previous, glyph_index);
        const CachedGlyph* glyph = face_layout_glyph(face, sized, glyph_index);
        if (glyph == nullptr) return false;
        if (kerning != 0) advances[i - 1] += kerning;
        advances[i] = glyph->layout.advance;
        indices[i] = glyph_index;
        glyphs[i] = glyph;
        previous = is_break(characters[i]) ? 0 : glyph_index;
    }

    FT_Vector pen{0, 0};
    FT_Vector total_min{0, 0};
    FT_Vector total_max{0, 0};
    layout.glyphs.clear();
    for (size_t i = 0; i < count; ++i) {
        if (characters[i] == '\r') {
            pen.x = 0;
            continue;
        }
        if (characters[i] == '\n') {
            pen.x = 0;
            pen.y += LINE_SPACE * points * 64 * LAYOUT_RESOLUTION / 72;
            pen.y &= ~63;
            continue;
        }
        const CachedGlyph* glyph = glyphs[i];
        const int advance = static_cast<int>(advances[i]);  // libgd keeps it in an int
        FT_Vector glyph_min{pen.x + glyph->layout.bearing_x, pen.y - glyph->layout.bearing_y};
        FT_Vector glyph_max{pen.x + advance, glyph_min.y + glyph->layout.height};
        if (i == 0) {
            total_min = glyph_min;
            total_max = glyph_max;
        } else {
            total_min.x = std::min(total_min.x, glyph_min.x);
            total_min.y = std::min(total_min.y, glyph_min.y);
            total_max.x = std::max(total_max.x, glyph_max.x);
            total_max.y = std::max(total_max.y, glyph_max.y);
        }
        layout.glyphs.push_back(Placed{indices[i], pen.x, pen.y});
        pen.x += advance;
    }

    // libgd's rotation of the box by an angle of 0, scaled to the drawing resolution.
    const double sin_a = 0.0;
    const double cos_a = 1.0;
    const double scale_x = static_cast<double>(DRAWING_RESOLUTION) / (64 * LAYOUT_RESOLUTION);
    const double scale_y = static_cast<double>(DRAWING_RESOLUTION) / (64 * LAYOUT_RESOLUTION);
    layout.box = {
        x + (total_min.x * cos_a + total_max.y * sin_a) * scale_x,
        y - (total_min.x * sin_a - total_max.y * cos_a) * scale_y,
        x + (total_max.x * cos_a + total_max.y * sin_a) * scale_x,
        y - (total_max.x * sin_a - total_max.y * cos_a) * scale_y,
        x + (total_max.x * cos_a + total_min.y * sin_a) * scale_x,
        y - (total_max.x * sin_a - total_min.y * cos_a) * scale_y,
        x + (total_min.x * cos_a + total_min.y * sin_a) * scale_x,
        y - (total_min.x * sin_a - total_min.y * cos_a) * scale_y,
    };
    for (double corner : layout.box) {
        if (!(std::fabs(corner) < SANE_COORDINATE)) return false;
    }
    return true;
}

// Where libgd puts a glyph's top-left pixel: the pen scaled to the drawing resolution plus
// the bitmap's offset, truncated towards zero.
bool glyph_origin(const Placed& placed, const GlyphImage& image, int x, int y, int& left, int& top)
{
    const double sin_a = 0.0;
    const double cos_a = 1.0;
    const FT_Pos pen_x = placed.pen_x;
    const FT_Pos pen_y = placed.pen_y;
    const double at_x = x + (pen_x * cos_a + pen_y * sin_a) * DRAWING_RESOLUTION / (LAYOUT_RESOLUTION * 64) + image.left;
    const double at_y = y - (pen_x * sin_a - pen_y * cos_a) * DRAWING_RESOLUTION / (LAYOUT_RESOLUTION * 64) - image.top;
    if (!(std::fabs(at_x) < SANE_COORDINATE && std::fabs(at_y) < SANE_COORDINATE)) return false;
    left = static_cast<int>(at_x);
    top = static_cast<int>(at_y);
    return true;
}

// Blends a glyph's coverage into the true-colour pixels as libgd does: the colour's own alpha
// bounds the coverage, the clipping rectangle bounds the pixels, and with alpha blending on
// a pixel that is not fully transparent is blended, any other replaced.
void blend_glyph(gdImagePtr image, int color, const GlyphImage& glyph, int left, int top)
{
    const int color_alpha = gdTrueColorGetAlpha(color);
    const int rgb = color & 0xFFFFFF;
    for (int row = 0; row < glyph.rows; ++row) {
        const int y = top + row;
        if (y > image->cy2 || y < image->cy1) continue;
        int* line = image->tpixels[y];
        const uint8_t* levels = glyph.levels.data() + static_cast<size_t>(row) * static_cast<size_t>(glyph.width);
        for (int col = 0; col < glyph.width; ++col) {
            int level = levels[col];
            if (level == 0) continue;
            level = level * (gdAlphaMax - color_alpha) / gdAlphaMax;
            level = gdAlphaMax - level;
            const int x = left + col;
            if (x > image->cx2 || x < image->cx1) continue;
            int& pixel = line[x];
            const int source = (level << 24) + rgb;
            if (image->alphaBlendingFlag && gdTrueColorGetAlpha(pixel) != gdAlphaTransparent) {
                pixel = gdAlphaBlend(pixel, source);
            } else {
                pixel = source;
            }
        }
    }
}

// The whole text from the cache; false, having drawn nothing, when any of it must go to libgd.
bool draw_from_cache(GlyphPath& path, gdImagePtr image, int* box, int color, const char* font_name,
                     double points, int x, int y, const char* text)
{
    if (path.libgd_only != 0) return false;
    // Monochrome text (a negative colour) and palette images take other ways through libgd.
    if (color < 0 || (image != nullptr && !image->trueColor)) return false;
    if (!(points > 0.0 && points <= MAX_CACHED_POINTS)) return false;
    if (!(std::abs(static_cast<double>(x)) < SANE_COORDINATE && std::abs(static_cast<double>(y)) < SANE_COORDINATE)) {
        return false;
    }
    if (!decode_text(std::string_view(text), path.characters)) return false;
    Face* face = face_cache_find(path.faces, font_name, points);
    if (face == nullptr) return false;
    SizedFace* sized = face_at_size(*face, points);
    if (sized == nullptr) return false;
    Layout layout;
    if (!lay_out(*face, *sized, path.characters, points, x, y, layout)) return false;

    if (image != nullptr) {
        struct Drawn {
            const GlyphImage* glyph;
            int left;
            int top;
        };
        std::vector<Drawn> drawn;
        drawn.reserve(layout.glyphs.size());
        for (const Placed& placed : layout.glyphs) {
            const CachedGlyph* glyph = face_drawn_glyph(*face, *sized, placed.glyph_index);
            if (glyph == nullptr) return false;
            int left = 0;
            int top = 0;
            if (!glyph_origin(placed, glyph->image, x, y, left, top)) return false;
            drawn.push_back(Drawn{&glyph->image, left, top});
        }
        for (const Drawn& glyph : drawn) blend_glyph(image, color, *glyph.glyph, glyph.left, glyph.top);
    }
    if (box != nullptr) {
        for (size_t i = 0; i < layout.box.size(); ++i) box[i] = static_cast<int>(layout.box[i]);
    }
    return true;
}

}  // namespace

const char* glyph_path_string(GlyphPath& path, gdImagePtr image, int* box, int color, const char* font_name,
                              double points, int x, int y, const char* text)
{
    if (draw_from_cache(path, image, box, color, font_name, points, x, y, text)) return nullptr;
    ++path.texts_to_libgd;
    return gdImageStringFT(image, box, color, font_name, points, 0.0, x, y, text);
}

}  // namespace vedad
