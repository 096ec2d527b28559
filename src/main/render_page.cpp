#include "main/render_page.hpp"

#include <cstdio>

#include "base/contrast.hpp"
#include "canvas/font_metrics.hpp"
#include "readers/readers.hpp"

namespace vedad {

void render_page(Canvas& canvas, const Options& options, FILE* stream, TextExtent& extent)
{
    if (options.transparent != 0) canvas_set_transparent_background(canvas);
    else canvas_set_background(canvas, options.background);
    canvas_set_foreground(canvas,
                          with_min_contrast(options.foreground, options.background, options.drawing.min_contrast));
    canvas_prepare_font(canvas);
    canvas_setup_cell(canvas);
    extent = TextExtent{};
    reader_for(options.input_form).read(canvas, stream, options, extent);
}

}  // namespace vedad
