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

// A plane of opacities from 0 to 1, row by row.
struct Plane {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<float> values;

    float* row(int32_t y) { return values.data() + static_cast<size_t>(y) * width; }
};

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

// Blurs `count` lines of `length` values, each `step` apart within a line and `stride` apart
// from the next line, into `out`; outside a line is nothing. A line equal to the one before it
// is blurred alike: a page's shape is mostly lines that repeat.
void blur_lines(const float* in, float* out, int32_t count, int32_t length, ptrdiff_t step, ptrdiff_t stride,
                const std::vector<float>& weights)
{
    const int32_t radius = static_cast<int32_t>(weights.size() / 2);
    std::vector<float> line(static_cast<size_t>(length));
    std::vector<float> previous;
    std::vector<float> blurred(static_cast<size_t>(length));
    for (int32_t n = 0; n < count; ++n) {
        const float* source = in + n * stride;
        for (int32_t i = 0; i < length; ++i) line[static_cast<size_t>(i)] = source[i * step];
        if (line != previous) {
            for (int32_t i = 0; i < length; ++i) {
                const int32_t from = std::max(-radius, -i);
                const int32_t to = std::min(radius, length - 1 - i);
                float sum = 0.0f;
                for (int32_t k = from; k <= to; ++k)
                    sum += line[static_cast<size_t>(i + k)] * weights[static_cast<size_t>(k + radius)];
                blurred[static_cast<size_t>(i)] = sum;
            }
            previous = line;
        }
        float* target = out + n * stride;
        for (int32_t i = 0; i < length; ++i) target[i * step] = blurred[static_cast<size_t>(i)];
    }
}

void blur(Plane& plane, int32_t radius)
{
    if (radius <= 0) return;
    const std::vector<float> weights = gaussian_weights(radius);
    std::vector<float> across(plane.values.size());
    blur_lines(plane.values.data(), across.data(), plane.height, plane.width, 1, plane.width, weights);
    blur_lines(across.data(), plane.values.data(), plane.width, plane.height, plane.width, 1, weights);
}

constexpr int32_t TRANSPARENT = gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent);

int32_t alpha_of(double opacity)
{
    return gdAlphaMax - static_cast<int32_t>(std::lround(std::clamp(opacity, 0.0, 1.0) * gdAlphaMax));
}

}  // namespace

void add_shadow(Canvas& canvas, int32_t blur_radius, int32_t offset, int32_t margin, int32_t radius)
{
    gdImagePtr page = canvas.image;
    const int32_t width = gdImageSX(page);
    const int32_t height = gdImageSY(page);
    radius = held_radius(width, height, radius);
    if (canvas.record != nullptr) record_shadow(*canvas.record, width, height, margin, offset, blur_radius);
    Plane shadow{width + 2 * margin, height + 2 * margin, {}};
    shadow.values.assign(static_cast<size_t>(shadow.width) * shadow.height, 0.0f);
    for (int32_t y = 0; y < height && margin + offset + y < shadow.height; ++y) {
        float* row = shadow.row(margin + offset + y) + margin;
        std::fill_n(row, width, 1.0f);
        if (y >= radius && y < height - radius) continue;
        for (int32_t x = 0; x < width; ++x)
            row[x] = static_cast<float>(rounded_rectangle_coverage(width, height, radius, x, y));
    }
    blur(shadow, blur_radius);

    gdImagePtr picture = gdImageCreateTrueColor(shadow.width, shadow.height);
    if (picture == nullptr) fail("could not create an image of %dx%d pixels", shadow.width, shadow.height);
    for (int32_t y = 0; y < shadow.height; ++y) {
        const float* row = shadow.row(y);
        int* out = picture->tpixels[y];
        const int32_t page_y = y - margin;
        const bool page_row = page_y >= 0 && page_y < height;
        // Only in the corners' rows and columns is the page partly there.
        const bool corner_row = page_y < radius || page_y >= height - radius;
        for (int32_t x = 0; x < shadow.width; ++x) {
            const int32_t page_x = x - margin;
            const bool in_page = page_row && page_x >= 0 && page_x < width;
            if (in_page && !(corner_row && (page_x < radius || page_x >= width - radius))) {
                const int over = page->tpixels[page_y][page_x];
                // The shadow lies only around the page, never under it: a transparent page
                // shows no shadow.
                out[x] = gdTrueColorGetAlpha(over) == gdAlphaOpaque ? over : gdAlphaBlend(TRANSPARENT, over);
                continue;
            }
            const double covered = in_page ? rounded_rectangle_coverage(width, height, radius, page_x, page_y) : 0.0;
            const int32_t under = gdTrueColorAlpha(0, 0, 0, alpha_of(row[x] * SHADOW_OPACITY * (1.0 - covered)));
            out[x] = covered == 0.0 ? under : gdAlphaBlend(under, page->tpixels[page_y][page_x]);
        }
    }
    gdImageSaveAlpha(picture, 1);
    gdImageAlphaBlending(picture, 1);
    gdImageDestroy(page);
    canvas.image = picture;
}

}  // namespace vedad
