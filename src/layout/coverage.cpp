#include "layout/coverage.hpp"

#include <algorithm>
#include <cmath>

namespace vedad {

double disc_coverage(double cx, double cy, double radius, int32_t x, int32_t y)
{
    const double distance = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
    return std::clamp(radius + 0.5 - distance, 0.0, 1.0);
}

void fill_disc(gdImagePtr image, double cx, double cy, double radius, int32_t color)
{
    const int32_t x0 = std::max(0, static_cast<int32_t>(std::floor(cx - radius - 1)));
    const int32_t y0 = std::max(0, static_cast<int32_t>(std::floor(cy - radius - 1)));
    const int32_t x1 = std::min(gdImageSX(image) - 1, static_cast<int32_t>(std::ceil(cx + radius + 1)));
    const int32_t y1 = std::min(gdImageSY(image) - 1, static_cast<int32_t>(std::ceil(cy + radius + 1)));
    for (int32_t y = y0; y <= y1; ++y) {
        for (int32_t x = x0; x <= x1; ++x) {
            const double covered = disc_coverage(cx, cy, radius, x, y);
            if (covered <= 0.0) continue;
            const int alpha = static_cast<int>(std::lround((1.0 - covered) * gdAlphaMax));
            const int32_t over = gdTrueColorAlpha(gdTrueColorGetRed(color), gdTrueColorGetGreen(color),
                                                  gdTrueColorGetBlue(color), alpha);
            image->tpixels[y][x] = gdAlphaBlend(image->tpixels[y][x], over);
        }
    }
}

}  // namespace vedad
