#include "layout/fit.hpp"

#include <algorithm>

#include "base/fail.hpp"
#include "layout/text_bottom.hpp"

namespace vedad {

CanvasSize fitted_canvas_size(const Options& options, const TextExtent& extent, int32_t descent)
{
    const CanvasSize size{std::clamp(extent.x, 1, options.width),
                          static_cast<int32_t>(std::clamp<int64_t>(text_bottom(extent.y, descent), 1, options.height))};
    return held_to_budget(options, size);
}

CanvasSize held_to_budget(const Options& options, CanvasSize size)
{
    const int64_t frame = 2 * int64_t{options.margin};
    const int64_t budget = options.max_pixels;
    if (size.height + frame <= budget / (size.width + frame)) return size;
    const int64_t rows = budget / (size.width + frame) - frame;
    if (rows >= 1) return CanvasSize{size.width, static_cast<int32_t>(std::min<int64_t>(rows, size.height))};
    const int64_t columns = budget / (1 + frame) - frame;
    if (columns < 1) {
        fail("a margin of %d pixels makes a picture of more than %lld pixels; --max-pixels= allows more",
             options.margin, static_cast<long long>(budget));
    }
    return CanvasSize{static_cast<int32_t>(std::clamp<int64_t>(columns, 1, size.width)), 1};
}

}  // namespace vedad
