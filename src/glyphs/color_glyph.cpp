#include "glyphs/color_glyph.hpp"

#include <algorithm>
#include <cmath>
#include <memory>

#include <gd.h>

#include "base/owned_image.hpp"

namespace vedad {

namespace {

// Layout units (26.6 at the layout resolution) in one pixel at the drawing resolution.
constexpr FT_Pos LAYOUT_UNITS_PER_PIXEL = 64 * LAYOUT_RESOLUTION / DRAWING_RESOLUTION;

// A scaled picture wider or taller than this is not made; no text size drawn comes near it.
constexpr long MAX_SIDE = 4096;

// The glyph's box on the image, from the pen on the baseline, in whole pixels.
struct ScaledBox {
    long left = 0;
    long top = 0;  // rows above the baseline
    long width = 0;
    long rows = 0;
    long advance = 0;
};

double to_pixels(FT_Pos value)
{
    return static_cast<double>(value) / 64.0;
}

ScaledBox scaled_box(const FT_Glyph_Metrics& metrics, const ColorScale& scale)
{
    const double left = to_pixels(metrics.horiBearingX);
    const double top = to_pixels(metrics.horiBearingY);
    const auto above_baseline = [&](double y) { return std::lround((y - scale.descender) * scale.factor - scale.descent); };
    ScaledBox box;
    box.left = std::lround(left * scale.factor);
    box.top = above_baseline(top);
    if (metrics.width > 0 && metrics.height > 0) {
        box.width = std::max(1L, std::lround((left + to_pixels(metrics.width)) * scale.factor) - box.left);
        box.rows = std::max(1L, box.top - above_baseline(top - to_pixels(metrics.height)));
    }
    box.advance = std::lround(to_pixels(metrics.horiAdvance) * scale.factor);
    return box;
}

// Loads the glyph's picture, or with `metrics_only` its metrics alone, which spares decoding
// the picture.
bool load(FT_Face face, FT_UInt glyph_index, bool metrics_only)
{
    return FT_Load_Glyph(face, glyph_index, FT_LOAD_COLOR | (metrics_only ? FT_LOAD_BITMAP_METRICS_ONLY : 0)) == 0;
}

// A pixel of FreeType's premultiplied blue, green, red, alpha in libgd's colour with 7-bit
// alpha (0 opaque).
int libgd_color(const unsigned char* bgra)
{
    const int alpha = bgra[3];
    if (alpha == 0) return gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent);
    const auto unpremultiply = [alpha](int value) { return std::min(255, (value * 255 + alpha / 2) / alpha); };
    return gdTrueColorAlpha(unpremultiply(bgra[2]), unpremultiply(bgra[1]), unpremultiply(bgra[0]),
                            gdAlphaMax - (alpha >> 1));
}

}  // namespace

bool select_color_strike(FT_Face face)
{
    if (!FT_HAS_COLOR(face) || !FT_HAS_FIXED_SIZES(face) || face->num_fixed_sizes < 1) return false;
    int largest = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i) {
        if (face->available_sizes[i].y_ppem > face->available_sizes[largest].y_ppem) largest = i;
    }
    return FT_Select_Size(face, largest) == 0 && FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0;
}

ColorScale color_scale(FT_Face face, double points, const ColorBand& band)
{
    const FT_Size_Metrics& strike = face->size->metrics;
    const double ascender = to_pixels(strike.ascender);
    const double descender = std::min(0.0, to_pixels(strike.descender));
    const double height = std::max(1.0, ascender - descender);
    ColorScale scale;
    scale.descender = descender;
    if (band.height > 0) {
        scale.factor = band.height / height;
        scale.descent = band.descent;
    } else {
        const double em = em_in_pixels(points);
        scale.factor = em / std::max(1.0, static_cast<double>(strike.y_ppem));
        scale.descent = std::round(-descender * scale.factor);
    }
    return scale;
}

bool color_glyph_layout(FT_Face face, FT_UInt glyph_index, const ColorScale& scale, GlyphLayout& layout)
{
    if (!load(face, glyph_index, true)) return false;
    const ScaledBox box = scaled_box(face->glyph->metrics, scale);
    layout.bearing_x = box.left * LAYOUT_UNITS_PER_PIXEL;
    layout.bearing_y = box.top * LAYOUT_UNITS_PER_PIXEL;
    layout.height = box.rows * LAYOUT_UNITS_PER_PIXEL;
    layout.advance = box.advance * LAYOUT_UNITS_PER_PIXEL;
    return true;
}

bool color_glyph_image(FT_Face face, FT_UInt glyph_index, const ColorScale& scale, GlyphImage& image)
{
    if (!load(face, glyph_index, false)) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP || bitmap.pixel_mode != FT_PIXEL_MODE_BGRA || bitmap.pitch < 0) {
        return false;
    }
    const ScaledBox box = scaled_box(slot->metrics, scale);
    if (box.width > MAX_SIDE || box.rows > MAX_SIDE) return false;
    image.left = static_cast<int32_t>(box.left);
    image.top = static_cast<int32_t>(box.top);
    image.width = static_cast<int32_t>(box.width);
    image.rows = static_cast<int32_t>(box.rows);
    image.levels.clear();
    image.colors.clear();
    if (image.width == 0 || bitmap.width == 0 || bitmap.rows == 0) {
        image.width = 0;
        image.rows = 0;
        return true;
    }

    const OwnedImage strike(gdImageCreateTrueColor(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows)));
    const OwnedImage scaled(gdImageCreateTrueColor(image.width, image.rows));
    if (strike == nullptr || scaled == nullptr) return false;
    for (unsigned int row = 0; row < bitmap.rows; ++row) {
        const unsigned char* line = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        for (unsigned int col = 0; col < bitmap.width; ++col) strike->tpixels[row][col] = libgd_color(line + 4 * col);
    }
    // Each scaled pixel averages the strike pixels it covers, weighted by their opacity.
    gdImageAlphaBlending(scaled.get(), 0);
    gdImageCopyResampled(scaled.get(), strike.get(), 0, 0, 0, 0, image.width, image.rows,
                         static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
    image.colors.reserve(static_cast<size_t>(image.width) * static_cast<size_t>(image.rows));
    for (int32_t row = 0; row < image.rows; ++row) {
        image.colors.insert(image.colors.end(), scaled->tpixels[row], scaled->tpixels[row] + image.width);
    }
    return true;
}

}  // namespace vedad
