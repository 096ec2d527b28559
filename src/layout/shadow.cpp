#include "layout/shadow.hpp"

#include <cmath>

#include "base/fail.hpp"
#include "layout/rounded_corners.hpp"

namespace vedad {

namespace {

int32_t transparent_black(double opacity)
{
    return gdTrueColorAlpha(0, 0, 0, gdAlphaMax - static_cast<int>(std::lround(opacity * gdAlphaMax)));
}

gdImagePtr transparent_image(int32_t width, int32_t height)
{
    gdImagePtr image = gdImageCreateTrueColor(width, height);
    if (image == nullptr) fail("could not create an image of %dx%d pixels", width, height);
    gdImageAlphaBlending(image, 0);
    gdImageFilledRectangle(image, 0, 0, width - 1, height - 1, transparent_black(0.0));
    gdImageSaveAlpha(image, 1);
    return image;
}

}  // namespace

void add_shadow(Canvas& canvas, int32_t blur, int32_t offset, int32_t margin, int32_t radius)
{
    const int32_t width = gdImageSX(canvas.image);
    const int32_t height = gdImageSY(canvas.image);
    radius = held_radius(width, height, radius);
    const int32_t picture_width = width + 2 * margin;
    const int32_t picture_height = height + 2 * margin;
    gdImagePtr shadow = transparent_image(picture_width, picture_height);
    for (int32_t y = 0; y < height; ++y) {
        const int32_t to_y = margin + offset + y;
        if (to_y >= picture_height) break;
        for (int32_t x = 0; x < width; ++x) {
            const double covered = rounded_rectangle_coverage(width, height, radius, x, y);
            shadow->tpixels[to_y][margin + x] = transparent_black(covered * SHADOW_OPACITY);
        }
    }
    if (blur > 0) {
        // libgd's separable Gaussian blurs each channel, alpha included.
        gdImagePtr blurred = gdImageCopyGaussianBlurred(shadow, blur, blur / 2.0);
        if (blurred == nullptr) fail("could not blur the shadow of a %dx%d picture", picture_width, picture_height);
        gdImageDestroy(shadow);
        shadow = blurred;
        gdImageAlphaBlending(shadow, 0);
        gdImageSaveAlpha(shadow, 1);
    }
    // The shadow lies only around the page, never under it: a transparent page shows no shadow.
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const double covered = rounded_rectangle_coverage(width, height, radius, x, y);
            int* pixel = &shadow->tpixels[margin + y][margin + x];
            const double opacity = (gdAlphaMax - gdTrueColorGetAlpha(*pixel)) / double{gdAlphaMax} * (1.0 - covered);
            *pixel = transparent_black(opacity);
        }
    }
    gdImageAlphaBlending(shadow, 1);
    gdImageCopy(shadow, canvas.image, margin, margin, 0, 0, width, height);
    gdImageDestroy(canvas.image);
    canvas.image = shadow;
}

}  // namespace vedad
