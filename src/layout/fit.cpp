#include "layout/fit.hpp"

#include <algorithm>

#include "layout/text_bottom.hpp"

namespace vedad {

CanvasSize fitted_canvas_size(const Options& options, const TextExtent& extent, int32_t descent)
{
    return CanvasSize{std::clamp(extent.x, 1, options.width),
                      static_cast<int32_t>(std::clamp<int64_t>(text_bottom(extent.y, descent), 1, options.height))};
}

}  // namespace vedad
