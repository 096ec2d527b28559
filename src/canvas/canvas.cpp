#include "canvas/canvas.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/clamp.hpp"
#include "base/fail.hpp"
#include "canvas/drawing_record.hpp"
#include "glyphs/glyph_path.hpp"

namespace vedad {

namespace {

gdImagePtr create_image_or_fail(int32_t width, int32_t height)
{
    gdImagePtr image = gdImageCreateTrueColor(width, height);
    if (image == nullptr) fail("could not create an image of %dx%d pixels", width, height);
    return image;
}

// The spare image made over into a new one of `width` x `height`, set up as
// gdImageCreateTrueColor sets one up except for its pixels; null when it is too narrow or
// memory runs out. Its rows may be longer than the new width, which libgd never minds; rows
// past the new height are freed, since libgd frees as many rows as the image is high. libgd
// allocates with malloc and frees with free, as this does.
gdImagePtr remake_spare(Canvas& canvas, int32_t width, int32_t height)
{
    gdImagePtr image = canvas.spare.image.get();
    if (image == nullptr || !image->trueColor || image->pixels != nullptr || width <= 0 || height <= 0 ||
        image->sx < width)
        return nullptr;
    for (int y = height; y < image->sy; ++y) gdFree(image->tpixels[y]);
    if (height < image->sy) image->sy = height;
    if (height > image->sy) {
        auto** rows = static_cast<int**>(std::realloc(image->tpixels, sizeof(int*) * static_cast<size_t>(height)));
        if (rows == nullptr) return nullptr;
        image->tpixels = rows;
        while (image->sy < height) {
            rows[image->sy] = static_cast<int*>(std::malloc(sizeof(int) * static_cast<size_t>(width)));
            if (rows[image->sy] == nullptr) return nullptr;
            ++image->sy;
        }
    }
    int** rows = image->tpixels;
    int* poly_ints = image->polyInts;
    const int poly_allocated = image->polyAllocated;
    gdFree(image->style);
    std::memset(image, 0, sizeof *image);
    image->tpixels = rows;
    image->polyInts = poly_ints;
    image->polyAllocated = poly_allocated;
    image->sx = width;
    image->sy = height;
    image->transparent = -1;
    image->trueColor = 1;
    image->alphaBlendingFlag = 1;
    image->thick = 1;
    image->cx2 = width - 1;
    image->cy2 = height - 1;
    image->res_x = GD_RESOLUTION;
    image->res_y = GD_RESOLUTION;
    image->interpolation_id = GD_BILINEAR_FIXED;
    return canvas.spare.image.release();
}

// A new image for the canvas, from the spare one when it serves; `cleared` when its pixels
// must all be 0, as in an image libgd makes.
void make_canvas_image(Canvas& canvas, int32_t width, int32_t height, bool cleared)
{
    gdImagePtr image = remake_spare(canvas, width, height);
    canvas.spare.image.reset();
    if (image == nullptr) {
        canvas.image = create_image_or_fail(width, height);
        return;
    }
    if (cleared) {
        for (int y = 0; y < height; ++y) std::memset(image->tpixels[y], 0, sizeof(int) * static_cast<size_t>(width));
    }
    canvas.image = image;
}

// gdImageFilledRectangle, a row at a time: libgd sets every pixel through gdImageSetPixel, a
// call per pixel. The corners are put in order and clipped to the image and its clipping
// rectangle as libgd does, and each pixel is replaced or, with alpha blending on, blended
// (which an opaque colour replaces too). Colours with a meaning of their own (below 0),
// palette images and the other blending effects are left to libgd.
void fill_rectangle(gdImagePtr image, int x1, int y1, int x2, int y2, int color)
{
    const int effect = image->alphaBlendingFlag;
    if (!image->trueColor || color < 0 || (effect != gdEffectReplace && effect != gdEffectAlphaBlend &&
                                           effect != gdEffectNormal)) {
        gdImageFilledRectangle(image, x1, y1, x2, y2, color);
        return;
    }
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = std::max({x1, 0, image->cx1});
    y1 = std::max({y1, 0, image->cy1});
    x2 = std::min({x2, gdImageSX(image) - 1, image->cx2});
    y2 = std::min({y2, gdImageSY(image) - 1, image->cy2});
    if (x1 > x2 || y1 > y2) return;
    const bool replace = effect == gdEffectReplace || gdTrueColorGetAlpha(color) == gdAlphaOpaque;
    for (int y = y1; y <= y2; ++y) {
        int* row = image->tpixels[y];
        if (replace && color == 0) {
            std::memset(row + x1, 0, sizeof(int) * static_cast<size_t>(x2 - x1 + 1));  // black, the usual background
        } else if (replace) {
            std::fill(row + x1, row + x2 + 1, color);
        } else {
            for (int x = x1; x <= x2; ++x) row[x] = gdAlphaBlend(row[x], color);
        }
    }
}

void fill_background(Canvas& canvas, int32_t color)
{
    canvas.background_color = color;
    if (color == -1) fail("could not allocate RGBA value for background");
    if (canvas.record != nullptr) record_page_background(*canvas.record, color);
    fill_rectangle(canvas.image, 0, 0, gdImageSX(canvas.image), gdImageSY(canvas.image), color);
}

}  // namespace

void canvas_init(Canvas& canvas, const DrawingSettings& settings)
{
    canvas = Canvas{};
    canvas.settings = settings;
    canvas.glyphs = std::make_shared<GlyphPath>();
}

void canvas_create(Canvas& canvas, int32_t width, int32_t height)
{
    make_canvas_image(canvas, width, height, true);
}

void canvas_create_for_page(Canvas& canvas, int32_t width, int32_t height)
{
    make_canvas_image(canvas, width, height, false);
}

void canvas_destroy(Canvas& canvas)
{
    canvas.spare.image.reset(canvas.image);
    canvas.image = nullptr;
}

std::pair<int32_t, int32_t> canvas_spare_size(const Canvas& canvas)
{
    const gdImagePtr spare = canvas.spare.image.get();
    if (spare == nullptr) return {0, 0};
    return {gdImageSX(spare), gdImageSY(spare)};
}

void canvas_resize(Canvas& canvas, int32_t width, int32_t height)
{
    gdImagePtr resized = create_image_or_fail(width, height);
    // Copy pixels exactly, alpha included: blending would lay a transparent background
    // over the new image's opaque black.
    gdImageAlphaBlending(resized, 0);
    gdImageCopy(resized, canvas.image, 0, 0, 0, 0, width, height);
    gdImageAlphaBlending(resized, 1);
    gdImageSaveAlpha(resized, canvas.image->saveAlphaFlag);
    gdImageDestroy(canvas.image);
    canvas.image = resized;
}

void canvas_add_margin(Canvas& canvas, int32_t margin)
{
    canvas_add_border(canvas, Sides{margin, margin, margin, margin}, canvas.background_color);
}

void canvas_add_border(Canvas& canvas, const Sides& sides, int32_t color)
{
    const int32_t width = add_clamped(gdImageSX(canvas.image), static_cast<int64_t>(sides.left) + sides.right);
    const int32_t height = add_clamped(gdImageSY(canvas.image), static_cast<int64_t>(sides.top) + sides.bottom);
    if (canvas.record != nullptr) {
        record_border(*canvas.record, gdImageSX(canvas.image), gdImageSY(canvas.image), sides.left, sides.top,
                      sides.right, sides.bottom, color);
    }
    gdImagePtr padded = create_image_or_fail(width, height);
    // Exact pixels, alpha included, for the border and the picture alike, a row at a time.
    gdImageAlphaBlending(padded, 0);
    fill_rectangle(padded, 0, 0, width - 1, height - 1, color);
    const int32_t inner_width = std::min(gdImageSX(canvas.image), width - sides.left);
    const int32_t inner_height = std::min(gdImageSY(canvas.image), height - sides.top);
    for (int32_t y = 0; y < inner_height; ++y) {
        std::copy_n(canvas.image->tpixels[y], inner_width, padded->tpixels[sides.top + y] + sides.left);
    }
    gdImageAlphaBlending(padded, 1);
    gdImageSaveAlpha(padded, canvas.image->saveAlphaFlag);
    gdImageDestroy(canvas.image);
    canvas.image = padded;
}

void canvas_set_foreground(Canvas& canvas, const Rgb& rgb)
{
    canvas.foreground_color = gdImageColorAllocateAlpha(canvas.image, rgb.r, rgb.g, rgb.b, 0);
    if (canvas.foreground_color == -1) fail("could not allocate RGBA value for foreground");
}

void canvas_set_background(Canvas& canvas, const Rgb& rgb)
{
    fill_background(canvas, gdImageColorAllocateAlpha(canvas.image, rgb.r, rgb.g, rgb.b, 0));
}

void canvas_set_transparent_background(Canvas& canvas)
{
    int32_t color = gdImageColorAllocateAlpha(canvas.image, 0, 0, 0, gdAlphaTransparent);
    // Blending a transparent fill onto the fresh opaque image would change nothing, and
    // libgd drops alpha on output unless told to keep it.
    gdImageAlphaBlending(canvas.image, 0);
    fill_background(canvas, color);
    gdImageAlphaBlending(canvas.image, 1);
    gdImageSaveAlpha(canvas.image, 1);
}

void canvas_fill_rect(Canvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    fill_rectangle(canvas.image, x1, y1, x2, y2, canvas.foreground_color);
    if (canvas.record != nullptr) record_fill(*canvas.record, x1, y1, x2, y2, canvas.foreground_color);
}

void canvas_move_to(Canvas& canvas, int32_t x, int32_t y)
{
    canvas.pen_x = x;
    canvas.pen_y = y;
}

std::pair<int32_t, int32_t> canvas_position(const Canvas& canvas)
{
    return {canvas.pen_x, canvas.pen_y};
}

double canvas_point_size(const Canvas& canvas)
{
    const double points = canvas.settings.font_size * canvas.settings.size_scale;
    // Written so that a NaN fails the test too.
    return std::fabs(points) <= MAX_POINT_SIZE ? points : MAX_POINT_SIZE;
}

}  // namespace vedad
