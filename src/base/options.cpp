#include "base/options.hpp"

namespace vedad {

void set_default_options(Options& options)
{
    options = Options{};
}

const char* pixel_format_name(const DrawingSettings& settings)
{
    switch (settings.pixel_format) {
    case PIXEL_FORMAT_A8: return "A8";
    case PIXEL_FORMAT_RGB24: return "RGB24";
    case PIXEL_FORMAT_ARGB32: return "ARGB32";
    default: return "UNKNOWN";
    }
}

}  // namespace vedad
