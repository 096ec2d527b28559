#include "layout/scale.hpp"

#include "base/clamp.hpp"

namespace vedad {

void apply_layout(Options& options)
{
    if (options.fit != 0 && options.size_given == 0) {
        options.width = FIT_LIMIT;
        options.height = FIT_LIMIT;
    }
    const int64_t scale = options.scale;
    options.width = clamp_to_int32(scale * options.width);
    options.height = clamp_to_int32(scale * options.height);
    options.margin = clamp_to_int32(scale * options.margin);
    options.drawing.size_scale *= static_cast<double>(scale);
}

}  // namespace vedad
