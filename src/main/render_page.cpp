#include "main/render_page.hpp"

#include <cstdio>

#include "base/contrast.hpp"
#include "canvas/drawing_record.hpp"
#include "canvas/font_metrics.hpp"
#include "readers/readers.hpp"

namespace vedad {

void setup_page_cell(Canvas& canvas, const Options& options)
{
    canvas.settings.size_scale = options.drawing.size_scale * options.scale;
    if (options.scale > 1) canvas_setup_scaled_cell(canvas, options.scale);
    else canvas_setup_cell(canvas);
}

void render_page(Canvas& canvas, const Options& options, FILE* stream, TextExtent& extent)
{
    if (canvas.record != nullptr) record_clear(*canvas.record);
    if (options.transparent != 0) canvas_set_transparent_background(canvas);
    else canvas_set_background(canvas, options.background);
    canvas_set_foreground(canvas,
                          with_min_contrast(options.foreground, options.background, options.drawing.min_contrast));
    canvas_prepare_font(canvas);
    setup_page_cell(canvas, options);
    extent = TextExtent{};
    canvas.line_baselines.clear();
    // A glyph of the page before that leaned into the cell after it is no part of this page.
    canvas.overflow = CellOverflow{};
    reader_for(options.input_form).read(canvas, stream, options, extent);
}

}  // namespace vedad
