#include "main/render_page.hpp"

#include <cstdio>

#include "canvas/font_metrics.hpp"
#include "readers/readers.hpp"

namespace vedad {

void render_page(Canvas& canvas, const Options& options, FILE* stream, TextExtent& extent)
{
    if (options.transparent != 0) canvas_set_transparent_background(canvas);
    else canvas_set_background(canvas, options.background);
    canvas_set_foreground(canvas, options.foreground);
    canvas_prepare_font(canvas);
    canvas_setup_cell(canvas);
    extent = TextExtent{};
    reader_for(options.input_form).read(canvas, stream, options, extent);
}

}  // namespace vedad
