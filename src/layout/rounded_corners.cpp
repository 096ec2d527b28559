#include "layout/rounded_corners.hpp"

#include <algorithm>
#include <cmath>

#include "canvas/drawing_record.hpp"
#include "layout/coverage.hpp"

namespace vedad {

int32_t held_radius(int32_t width, int32_t height, int32_t radius)
{
    return std::clamp(radius, 0, std::min(width, height) / 2);
}

double rounded_rectangle_coverage(int32_t width, int32_t height, int32_t radius, int32_t x, int32_t y)
{
    if (x < 0 || y < 0 || x >= width || y >= height) return 0.0;
    // The centre of the corner's circle nearest the pixel; pixels beside the corners are whole.
    const double r = radius;
    const double cx = x < radius ? r : (x >= width - radius ? width - r : -1.0);
    const double cy = y < radius ? r : (y >= height - radius ? height - r : -1.0);
    if (cx < 0.0 || cy < 0.0) return 1.0;
    return disc_coverage(cx, cy, r, x, y);
}

void round_corners(Canvas& canvas, int32_t radius)
{
    gdImagePtr image = canvas.image;
    const int32_t width = gdImageSX(image);
    const int32_t height = gdImageSY(image);
    radius = held_radius(width, height, radius);
    if (radius == 0) return;
    if (canvas.record != nullptr) record_rounding(*canvas.record, width, height, radius);
    for (int32_t y = 0; y < height; ++y) {
        // Only the rows of the corners, and in them only the corners' columns, change.
        if (y >= radius && y < height - radius) continue;
        for (int32_t x = 0; x < width; ++x) {
            if (x == radius && width - radius > radius) x = width - radius;
            const double covered = rounded_rectangle_coverage(width, height, radius, x, y);
            const int pixel = image->tpixels[y][x];
            const double opacity = (gdAlphaMax - gdTrueColorGetAlpha(pixel)) * covered;
            const int alpha = gdAlphaMax - static_cast<int>(std::lround(opacity));
            image->tpixels[y][x] = gdTrueColorAlpha(gdTrueColorGetRed(pixel), gdTrueColorGetGreen(pixel),
                                                    gdTrueColorGetBlue(pixel), alpha);
        }
    }
    gdImageSaveAlpha(image, 1);
}

}  // namespace vedad
