#include "layout/frame.hpp"

#include "base/clamp.hpp"
#include "layout/crop.hpp"
#include "layout/cut_text.hpp"
#include "layout/rounded_corners.hpp"
#include "layout/shadow.hpp"
#include "layout/window_bar.hpp"

namespace vedad {

namespace {

int32_t scaled(int32_t pixels, int32_t scale)
{
    return clamp_to_int32(int64_t{pixels} * scale);
}

}  // namespace

CanvasSize cut_page(const Options& options, Canvas& canvas, TextExtent& extent, bool copy)
{
    warn_about_cut_text(options, canvas, extent);
    if (options.crop != 0) return crop_to_text(options, canvas, extent, copy);
    return CanvasSize{gdImageSX(canvas.image), gdImageSY(canvas.image)};
}

bool page_is_dressed(const Options& options)
{
    const FrameSettings& frame = options.frame;
    return options.scale > 1 || frame.line_numbers != 0 || frame.padding_v > 0 || frame.padding_h > 0 ||
           frame.window != WindowStyle::NONE || frame.radius > 0 || frame.shadow != 0 || options.margin > 0;
}

void dress_page(const Options& options, Canvas& canvas, const char* title)
{
    const FrameSettings& frame = options.frame;
    const int32_t scale = options.scale;
    const int32_t margin = scaled(options.margin, scale);
    if (frame.padding_v > 0 || frame.padding_h > 0) {
        const int32_t v = scaled(frame.padding_v, scale);
        const int32_t h = scaled(frame.padding_h, scale);
        canvas_add_border(canvas, Sides{v, h, v, h}, canvas.background_color);
    }
    if (frame.window != WindowStyle::NONE) add_window_bar(canvas, options, frame.title != nullptr ? frame.title : title, scale);
    const int32_t radius = scaled(frame.radius, scale);
    if (radius > 0) round_corners(canvas, radius);
    if (frame.shadow != 0) {
        add_shadow(canvas, scaled(frame.shadow_blur, scale), scaled(frame.shadow_offset, scale), margin, radius);
    } else if (margin > 0 && radius > 0) {
        // Beyond rounded corners the picture is see-through, margin included.
        canvas_add_border(canvas, Sides{margin, margin, margin, margin}, gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent));
    } else if (margin > 0) {
        canvas_add_margin(canvas, margin);
    }
}

void frame_picture(const Options& options, Canvas& canvas, TextExtent& extent, const char* title)
{
    cut_page(options, canvas, extent);
    dress_page(options, canvas, title);
}

}  // namespace vedad
