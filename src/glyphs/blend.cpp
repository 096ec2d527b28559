#include "glyphs/blend.hpp"

#include <algorithm>
#include <array>
#include <cstddef>

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

// The pixel loop, once for coverage in the text colour and once for a colour glyph's own
// pixels, so that neither asks which it is per pixel.
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
    // In the text colour, a pixel's result depends only on its coverage and what lies under
    // it, and most glyphs of a page lie over one colour in one text colour: the results over
    // the first pixel met are kept by coverage, from glyph to glyph while the colour and the
    // blending stay.
    KeptResults& kept = kept_results();
    bool keeping = false;
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
            int& pixel = line[col];
            if constexpr (!OWN_COLORS) {
                if (!keeping) {
                    keeping = true;
                    keep_results_over(kept, pixel, color, blending);
                }
                if (pixel == kept.under) {
                    int& result = kept.results[static_cast<size_t>(coverage)];
                    if (result < 0) result = blended(pixel, coverage, color_alpha, rgb, blending);
                    pixel = result;
                    continue;
                }
            }
            pixel = blended(pixel, coverage, color_alpha, rgb, blending);
        }
    }
}

}  // namespace

void blend_glyph(gdImagePtr image, int color, const GlyphImage& glyph, int left, int top)
{
    if (glyph.colors.empty()) blend_pixels<false>(image, color, glyph, left, top);
    else blend_pixels<true>(image, color, glyph, left, top);
}

}  // namespace vedad
