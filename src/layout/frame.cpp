#include "layout/frame.hpp"

#include "layout/crop.hpp"
#include "layout/cut_text.hpp"

namespace vedad {

void frame_picture(const Options& options, Canvas& canvas, TextExtent& extent)
{
    warn_about_cut_text(options, canvas, extent);
    if (options.crop != 0) crop_to_text(options, canvas, extent);
    if (options.margin > 0) canvas_add_margin(canvas, options.margin);
}

}  // namespace vedad
