#include "main/render_page.hpp"

#include <cstdio>

#include "canvas/font_metrics.hpp"
#include "readers/terminal/ansi_reader.hpp"
#include "readers/html_spans.hpp"
#include "readers/plain_text.hpp"

namespace vedad {

void render_page(Canvas& canvas, const Options& options, FILE* stream, TextExtent& extent)
{
    if (options.transparent != 0) canvas_set_transparent_background(canvas);
    else canvas_set_background(canvas, options.background);
    canvas_set_foreground(canvas, options.foreground);
    canvas_prepare_font(canvas);
    canvas_setup_cell(canvas);
    extent = TextExtent{};
    if (options.ansi_input != 0) read_ansi(canvas, stream, options, extent);
    else if (options.html_input != 0) read_html_spans(canvas, stream, options, extent);
    else read_plain_text(canvas, stream, extent, 0);
}

}  // namespace vedad
