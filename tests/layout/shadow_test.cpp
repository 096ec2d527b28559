#include "layout/shadow.hpp"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "layout/rounded_corners.hpp"

namespace {

// The shadow worked out the long way: every pixel of the moved, cut shape weighed into every
// pixel of the plane with the two-dimensional Gaussian (sigma half the blur).
std::vector<double> shadow_the_long_way(int width, int height, int blur, int offset, int margin, int radius)
{
    const int plane_width = width + 2 * margin;
    const int plane_height = height + 2 * margin;
    std::vector<double> weights(static_cast<size_t>(2 * blur + 1), 1.0);
    if (blur > 0) {
        const double sigma = blur / 2.0;
        double sum = 0.0;
        for (int k = -blur; k <= blur; ++k) sum += std::exp(-k * k / (2.0 * sigma * sigma));
        for (int k = -blur; k <= blur; ++k) weights[static_cast<size_t>(k + blur)] = std::exp(-k * k / (2.0 * sigma * sigma)) / sum;
    }
    radius = vedad::held_radius(width, height, radius);
    std::vector<double> shape(static_cast<size_t>(plane_width * plane_height), 0.0);
    for (int y = 0; y < height && margin + offset + y < plane_height; ++y) {
        for (int x = 0; x < width; ++x) {
            shape[static_cast<size_t>((margin + offset + y) * plane_width + margin + x)] =
                vedad::rounded_rectangle_coverage(width, height, radius, x, y);
        }
    }
    std::vector<double> out(shape.size(), 0.0);
    for (int y = 0; y < plane_height; ++y) {
        for (int x = 0; x < plane_width; ++x) {
            double sum = 0.0;
            for (int j = -blur; j <= blur; ++j) {
                for (int k = -blur; k <= blur; ++k) {
                    const int sx = x + k;
                    const int sy = y + j;
                    if (sx < 0 || sy < 0 || sx >= plane_width || sy >= plane_height) continue;
                    sum += shape[static_cast<size_t>(sy * plane_width + sx)] * weights[static_cast<size_t>(j + blur)] *
                           weights[static_cast<size_t>(k + blur)];
                }
            }
            out[static_cast<size_t>(y * plane_width + x)] = sum;
        }
    }
    return out;
}

}  // namespace

// The plane is the Gaussian blur of the page's rounded shape, however the blur, the corners,
// the offset and the margin meet (a shadow cut at the foot, corners larger than the blur,
// no blur, no corners, a page narrower than its corners would need).
TEST(Shadow, IsTheBlurOfThePagesShape)
{
    const struct {
        int width, height, blur, offset, margin, radius;
    } cases[] = {
        {40, 30, 6, 3, 10, 5},  {40, 30, 6, 12, 10, 5}, {25, 20, 3, 2, 4, 9}, {30, 12, 0, 2, 5, 4},
        {30, 20, 5, 2, 8, 0},   {6, 50, 4, 1, 6, 20},   {1, 1, 2, 0, 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " blur " << c.blur << " offset " << c.offset
                                        << " margin " << c.margin << " radius " << c.radius);
        const vedad::ShadowPlane plane = vedad::shadow_plane(c.width, c.height, c.blur, c.offset, c.margin, c.radius);
        const std::vector<double> expected = shadow_the_long_way(c.width, c.height, c.blur, c.offset, c.margin, c.radius);
        ASSERT_EQ(plane.width, c.width + 2 * c.margin);
        ASSERT_EQ(plane.height, c.height + 2 * c.margin);
        ASSERT_EQ(plane.values.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            ASSERT_NEAR(plane.values[i], expected[i], 1e-5) << "at " << i % plane.width << "," << i / plane.width;
        }
    }
}
