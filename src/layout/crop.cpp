#include "layout/crop.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "base/messages.hpp"
#include "layout/text_bottom.hpp"

namespace vedad {

CanvasSize crop_to_text(const Options& options, Canvas& canvas, const TextExtent& extent, bool copy)
{
    // The canvas is the configured size, or less where --fit or the pixel budget made it so.
    const int32_t canvas_width = gdImageSX(canvas.image);
    const int32_t canvas_height = gdImageSY(canvas.image);
    const int32_t width = std::min(canvas_width, extent.x);
    // The lowest row inks down to its baseline plus the descent: keep that row whole. A page
    // whose text reached no baseline below the top edge has no height.
    int64_t height = text_bottom(extent.y, canvas.descent);
    if (height > canvas_height) {
        height = canvas_height;
        if (options.verbose != 0)
            std::fprintf(messages(), "warning: image output dimensions too small for entire input text\n");
    }
    if (options.verbose != 0)
        std::fprintf(messages(), "cropping image to %dx%d pixels\n", width, static_cast<int32_t>(height));

    const bool whole = width == canvas_width && height == canvas_height;
    if (width > 0 && height > 0) {
        // A canvas fitted to its text is already cut: no copy of it is made.
        if (!whole && copy) canvas_resize(canvas, width, static_cast<int32_t>(height));
        return CanvasSize{width, static_cast<int32_t>(height)};
    }
    if (options.verbose != 0) std::fprintf(messages(), "warning: will not crop image, because it looks empty\n");
    return CanvasSize{canvas_width, canvas_height};
}

}  // namespace vedad
