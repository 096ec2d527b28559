#include "layout/shadow.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/fail.hpp"
#include "canvas/drawing_record.hpp"
#include "layout/rounded_corners.hpp"

namespace vedad {

namespace {

// The Gaussian's weights from -radius to radius, with a sigma of half the radius, summing to 1.
std::vector<float> gaussian_weights(int32_t radius)
{
    const double sigma = radius / 2.0;
    std::vector<float> weights(static_cast<size_t>(2 * radius + 1));
    double sum = 0.0;
    for (int32_t k = -radius; k <= radius; ++k) sum += std::exp(-k * k / (2.0 * sigma * sigma));
    for (int32_t k = -radius; k <= radius; ++k)
        weights[static_cast<size_t>(k + radius)] = static_cast<float>(std::exp(-k * k / (2.0 * sigma * sigma)) / sum);
    return weights;
}

// The blur of a line of `length` values that are 1 from `first` up to `end` and 0 elsewhere
// (nothing lies outside the line).
std::vector<float> blurred_span(int32_t length, int32_t first, int32_t end, const std::vector<float>& weights)
{
    const int32_t radius = static_cast<int32_t>(weights.size() / 2);
    std::vector<float> out(static_cast<size_t>(length), 0.0f);
    for (int32_t i = std::max(0, first - radius); i < std::min(length, end + radius); ++i) {
        float sum = 0.0f;
        for (int32_t k = std::max(-radius, first - i); k <= std::min(radius, end - 1 - i); ++k)
            sum += weights[static_cast<size_t>(k + radius)];
        out[static_cast<size_t>(i)] = sum;
    }
    return out;
}

// Takes the blur of `part` (`width` x `height` values whose top-left lies at (left, top) of
// the plane) away from the plane: the part's blur reaches `radius` further on each side,
// within the plane.
void subtract_blurred(ShadowPlane& plane, const std::vector<float>& part, int32_t left, int32_t top, int32_t width,
                      int32_t height, const std::vector<float>& weights)
{
    const int32_t radius = static_cast<int32_t>(weights.size() / 2);
    const int32_t x0 = std::max(0, left - radius);
    const int32_t x1 = std::min(plane.width, left + width + radius);
    const int32_t y0 = std::max(0, top - radius);
    const int32_t y1 = std::min(plane.height, top + height + radius);
    if (x0 >= x1 || y0 >= y1) return;
    // Across first, on the part's own rows; then down, onto every row it reaches.
    const auto columns = static_cast<size_t>(x1 - x0);
    std::vector<float> across(static_cast<size_t>(height) * columns, 0.0f);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = x0; x < x1; ++x) {
            float sum = 0.0f;
            for (int32_t k = std::max(-radius, left - x); k <= std::min(radius, left + width - 1 - x); ++k)
                sum += part[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x + k - left)] *
                       weights[static_cast<size_t>(k + radius)];
            across[static_cast<size_t>(y) * columns + static_cast<size_t>(x - x0)] = sum;
        }
    }
    for (int32_t y = y0; y < y1; ++y) {
        float* row = plane.row(y);
        for (int32_t k = std::max(-radius, top - y); k <= std::min(radius, top + height - 1 - y); ++k) {
            const float weight = weights[static_cast<size_t>(k + radius)];
            const float* from = across.data() + static_cast<size_t>(y + k - top) * columns;
            for (size_t x = 0; x < columns; ++x) row[static_cast<size_t>(x0) + x] -= from[x] * weight;
        }
    }
}

constexpr int32_t TRANSPARENT = gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent);

// Rounded to the nearest level, halves away from 0 (as std::lround, which costs a call).
int32_t alpha_of(double opacity)
{
    const double level = std::clamp(opacity, 0.0, 1.0) * gdAlphaMax;
    return level < 0.5 ? gdAlphaMax : gdAlphaMax - static_cast<int32_t>(level + 0.5);
}

int shadow_pixel(float value)
{
    return gdTrueColorAlpha(0, 0, 0, alpha_of(value * SHADOW_OPACITY));
}

}  // namespace

ShadowPlane shadow_plane(int32_t width, int32_t height, int32_t blur_radius, int32_t offset, int32_t margin,
                         int32_t radius)
{
    ShadowPlane plane{width + 2 * margin, height + 2 * margin, {}};
    // The page's shape, moved down and cut at the plane's foot.
    const int32_t top = margin + offset;
    const int32_t bottom = std::min(plane.height, top + height);
    radius = held_radius(width, height, radius);
    // No blur: the shape itself.
    const std::vector<float> weights = blur_radius > 0 ? gaussian_weights(blur_radius) : std::vector<float>{1.0f};
    // A rectangle's blur is the product of its sides' blurs, a Gaussian being separable. The
    // rounded corners' cut-outs are small: their own blurs are taken away after.
    const std::vector<float> across = blurred_span(plane.width, margin, margin + width, weights);
    const std::vector<float> down = blurred_span(plane.height, top, bottom, weights);
    plane.values.resize(static_cast<size_t>(plane.width) * static_cast<size_t>(plane.height));
    for (int32_t y = 0; y < plane.height; ++y) {
        float* row = plane.row(y);
        const float factor = down[static_cast<size_t>(y)];
        for (int32_t x = 0; x < plane.width; ++x) row[x] = across[static_cast<size_t>(x)] * factor;
    }
    if (radius <= 0) return plane;
    for (const int32_t corner_y : {0, height - radius}) {
        const int32_t rows = std::min(radius, bottom - (top + corner_y));
        if (rows <= 0) continue;
        for (const int32_t corner_x : {0, width - radius}) {
            std::vector<float> cut(static_cast<size_t>(rows) * static_cast<size_t>(radius));
            for (int32_t y = 0; y < rows; ++y) {
                for (int32_t x = 0; x < radius; ++x) {
                    cut[static_cast<size_t>(y) * static_cast<size_t>(radius) + static_cast<size_t>(x)] = static_cast<float>(
                        1.0 - rounded_rectangle_coverage(width, height, radius, corner_x + x, corner_y + y));
                }
            }
            subtract_blurred(plane, cut, margin + corner_x, top + corner_y, radius, rows, weights);
        }
    }
    return plane;
}

void add_shadow(Canvas& canvas, int32_t blur_radius, int32_t offset, int32_t margin, int32_t radius)
{
    gdImagePtr page = canvas.image;
    const int32_t width = gdImageSX(page);
    const int32_t height = gdImageSY(page);
    radius = held_radius(width, height, radius);
    if (canvas.record != nullptr) record_shadow(*canvas.record, width, height, margin, offset, blur_radius);
    const ShadowPlane shadow = shadow_plane(width, height, blur_radius, offset, margin, radius);

    gdImagePtr picture = gdImageCreateTrueColor(shadow.width, shadow.height);
    if (picture == nullptr) fail("could not create an image of %dx%d pixels", shadow.width, shadow.height);
    for (int32_t y = 0; y < shadow.height; ++y) {
        const float* row = shadow.row(y);
        int* out = picture->tpixels[y];
        const int32_t page_y = y - margin;
        if (page_y < 0 || page_y >= height) {
            for (int32_t x = 0; x < shadow.width; ++x) out[x] = shadow_pixel(row[x]);
            continue;
        }
        for (int32_t x = 0; x < margin; ++x) out[x] = shadow_pixel(row[x]);
        for (int32_t x = margin + width; x < shadow.width; ++x) out[x] = shadow_pixel(row[x]);
        // Only in the corners' rows and columns is the page partly there.
        const bool corner_row = page_y < radius || page_y >= height - radius;
        const int* over = page->tpixels[page_y];
        for (int32_t page_x = 0; page_x < width; ++page_x) {
            const int32_t x = margin + page_x;
            if (!(corner_row && (page_x < radius || page_x >= width - radius))) {
                // The shadow lies only around the page, never under it: a transparent page
                // shows no shadow.
                const int pixel = over[page_x];
                out[x] = gdTrueColorGetAlpha(pixel) == gdAlphaOpaque ? pixel : gdAlphaBlend(TRANSPARENT, pixel);
                continue;
            }
            const double covered = rounded_rectangle_coverage(width, height, radius, page_x, page_y);
            const int32_t under = gdTrueColorAlpha(0, 0, 0, alpha_of(row[x] * SHADOW_OPACITY * (1.0 - covered)));
            out[x] = covered == 0.0 ? under : gdAlphaBlend(under, over[page_x]);
        }
    }
    gdImageSaveAlpha(picture, 1);
    gdImageAlphaBlending(picture, 1);
    gdImageDestroy(page);
    canvas.image = picture;
}

}  // namespace vedad
