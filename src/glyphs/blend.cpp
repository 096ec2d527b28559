#include "glyphs/blend.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace vedad {

namespace {

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

// A pixel with `coverage` of the colour (`color_alpha` and `rgb`) drawn over `pixel`.
inline int blended(int pixel, int coverage, int color_alpha, int rgb, bool blending)
{
    const int alpha = color_alpha == gdAlphaOpaque ? gdAlphaMax - coverage
                                                   : gdAlphaMax - coverage * (gdAlphaMax - color_alpha) / gdAlphaMax;
    const int source = (alpha << 24) + rgb;
    if (blending && gdTrueColorGetAlpha(pixel) != gdAlphaTransparent) return blend_over(pixel, source);
    return source;
}

struct Clip {
    int first_row;
    int end_row;
    int first_col;
    int end_col;
};

// The results of blending the text colour at each coverage over one pixel value, -1 until
// worked out (a result that is negative is worked out each time).
struct KeptResults {
    int under = 0;
    int color = 0;
    bool blending = false;
    bool valid = false;
    std::array<int, gdAlphaMax + 1> results;
};

KeptResults& kept_results()
{
    thread_local KeptResults kept;
    return kept;
}

// Makes `kept` hold the results over `under`, forgetting others.
void keep_results_over(KeptResults& kept, int under, int color, bool blending)
{
    if (kept.valid && kept.under == under && kept.color == color && kept.blending == blending) return;
    kept.valid = true;
    kept.under = under;
    kept.color = color;
    kept.blending = blending;
    kept.results.fill(-1);
}

// Coverage in the text colour. A pixel's result depends only on its coverage and what lies
// under it, and most glyphs of a page lie over one colour in one text colour: the results
// over the pixel at the glyph's top-left corner (a coverage of 0 leaving it as it is) are
// kept from glyph to glyph while the colour and the blending stay, and looked up without a
// branch on the coverage.
void blend_levels(gdImagePtr image, int color, const GlyphImage& glyph, int left, int top, const Clip& clip)
{
    const int color_alpha = gdTrueColorGetAlpha(color);
    const int rgb = color & 0xFFFFFF;
    const bool blending = image->alphaBlendingFlag != 0;
    KeptResults& kept = kept_results();
    keep_results_over(kept, image->tpixels[top + clip.first_row][left + clip.first_col], color, blending);
    const int under = kept.under;
    for (int row = clip.first_row; row < clip.end_row; ++row) {
        int* line = image->tpixels[top + row] + left;
        const uint8_t* levels = glyph.levels.data() + static_cast<size_t>(row) * static_cast<size_t>(glyph.width);
        for (int col = clip.first_col; col < clip.end_col; ++col) {
            const int coverage = levels[col];
            int& pixel = line[col];
            if (pixel == under) {
                int result = kept.results[static_cast<size_t>(coverage)];
                if (result < 0) {
                    result = coverage == 0 ? pixel : blended(pixel, coverage, color_alpha, rgb, blending);
                    kept.results[static_cast<size_t>(coverage)] = result;
                }
                pixel = result;
            } else if (coverage != 0) {
                pixel = blended(pixel, coverage, color_alpha, rgb, blending);
            }
        }
    }
}

// A colour glyph's own pixels: its colours and coverage, with the colour's alpha.
void blend_colors(gdImagePtr image, int color, const GlyphImage& glyph, int left, int top, const Clip& clip)
{
    const int color_alpha = gdTrueColorGetAlpha(color);
    const bool blending = image->alphaBlendingFlag != 0;
    for (int row = clip.first_row; row < clip.end_row; ++row) {
        int* line = image->tpixels[top + row] + left;
        const size_t start = static_cast<size_t>(row) * static_cast<size_t>(glyph.width);
        for (int col = clip.first_col; col < clip.end_col; ++col) {
            const int own = glyph.colors[start + static_cast<size_t>(col)];
            const int coverage = gdAlphaMax - gdTrueColorGetAlpha(own);
            if (coverage == 0) continue;
            line[col] = blended(line[col], coverage, color_alpha, own & 0xFFFFFF, blending);
        }
    }
}

}  // namespace

void blend_glyph(gdImagePtr image, int color, const GlyphImage& glyph, int left, int top)
{
    // The glyph's rows and columns inside the image's clipping rectangle.
    const Clip clip{std::max(0, image->cy1 - top), std::min(glyph.rows, image->cy2 - top + 1),
                    std::max(0, image->cx1 - left), std::min(glyph.width, image->cx2 - left + 1)};
    if (clip.first_row >= clip.end_row || clip.first_col >= clip.end_col) return;
    if (glyph.colors.empty()) blend_levels(image, color, glyph, left, top, clip);
    else blend_colors(image, color, glyph, left, top, clip);
}

}  // namespace vedad
