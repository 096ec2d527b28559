#include "output/crop.hpp"

#include <algorithm>
#include <cstdio>

namespace vedad {

void crop_to_text(const Options& options, Canvas& canvas, const TextExtent& extent)
{
    const int32_t width = std::min(options.width, extent.x);
    int32_t height = extent.y;
    if (height > options.height) {
        height = options.height;
        if (options.verbose != 0)
            std::fprintf(stderr, "warning: image output dimensions too small for entire input text\n");
    }
    if (options.verbose != 0) std::fprintf(stderr, "cropping image to %dx%d pixels\n", width, height);

    if (width > 0 && height > 0) {
        canvas_resize(canvas, width, height);
    } else if (options.verbose != 0) {
        std::fprintf(stderr, "warning: will not crop image, because it looks empty\n");
    }
}

}  // namespace vedad
