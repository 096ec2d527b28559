#pragma once

#include <cstdint>

#include "canvas/canvas.hpp"

namespace vedad {

// The characters whose largest width and height make the cell. It skips z and puts y
// before x; the cell is measured from exactly these.
inline constexpr const char METRIC_SAMPLE[] =
    "abcdefghijklmnopqrstuvwyxABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_!*@' ";

struct GlyphMetrics {
    int32_t width;
    int32_t height;
    int32_t descent;  // how far the box's bottom lies below the baseline; negative when above
};

// Resolves the font name "default" to "Courier" (every other name stays) and, on the first
// page of a run, chooses the font file (see font_choice.hpp), ending the run when that file
// is no regular file. True when this call chose it.
bool canvas_prepare_font(Canvas& canvas);

// Bounding-box size of `text` at the point size, and its bottom against the baseline,
// without drawing. Ends the run when libgd cannot load or measure the font.
GlyphMetrics canvas_measure_glyph(const Canvas& canvas, const char* text);

// Largest width, largest height and largest descent (never below 0) over the characters of
// `text`, each measured alone.
GlyphMetrics canvas_measure_text(const Canvas& canvas, const char* text);

// Measures the metric sample (once per run: later pages in the same font and size take the
// first page's measurement), sets cell_width and line_height from it and the spacings and the
// descent from its lowest box bottom, and puts the pen on the first baseline.
void canvas_setup_cell(Canvas& canvas);

// canvas_setup_cell for a page drawn `scale` times as large as at the point size divided by
// `scale`: the cell, the spacings and the descent are those of that smaller page times
// `scale`, so that the page is exactly `scale` times as wide and as tall, while the glyphs
// are drawn at the canvas's own point size.
void canvas_setup_scaled_cell(Canvas& canvas, int32_t scale);

}  // namespace vedad
