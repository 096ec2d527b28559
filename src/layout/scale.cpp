#include "layout/scale.hpp"


namespace vedad {

void apply_layout(Options& options)
{
    if (options.fit != 0 && options.size_given == 0) {
        options.width = FIT_LIMIT;
        options.height = FIT_LIMIT;
    }
}

}  // namespace vedad
