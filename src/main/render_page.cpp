#include "main/render_page.hpp"

#include "canvas/font_metrics.hpp"
#include "readers/html_spans.hpp"
#include "readers/plain_text.hpp"

namespace vedad {

void render_page(Canvas& canvas, const Options& options, FILE* stream, int32_t& extent_x, int32_t& extent_y)
{
    if (options.transparent != 0) canvas_set_transparent_background(canvas);
    else canvas_set_background(canvas, options.background);
    canvas_set_foreground(canvas, options.foreground);
    canvas_prepare_font(canvas);
    canvas_setup_cell(canvas);
    extent_x = 0;
    extent_y = 0;
    if (options.html_input != 0) read_html_spans(canvas, stream, options, extent_x, extent_y);
    else read_plain_text(canvas, stream, extent_x, extent_y, 0);
}

}  // namespace vedad
