#include "layout/crop.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "layout/text_bottom.hpp"

namespace vedad {

void crop_to_text(const Options& options, Canvas& canvas, const TextExtent& extent)
{
    const int32_t width = std::min(options.width, extent.x);
    // The lowest row inks down to its baseline plus the descent: keep that row whole. A page
    // whose text reached no baseline below the top edge has no height.
    int64_t height = text_bottom(extent.y, canvas.descent);
    if (height > options.height) {
        height = options.height;
        if (options.verbose != 0)
            std::fprintf(stderr, "warning: image output dimensions too small for entire input text\n");
    }
    if (options.verbose != 0)
        std::fprintf(stderr, "cropping image to %dx%d pixels\n", width, static_cast<int32_t>(height));

    if (width > 0 && height > 0) {
        canvas_resize(canvas, width, static_cast<int32_t>(height));
    } else if (options.verbose != 0) {
        std::fprintf(stderr, "warning: will not crop image, because it looks empty\n");
    }
}

}  // namespace vedad
