#include "canvas/font_metrics.hpp"

#include <cstdint>
#include <cstring>
#include <string>

#include "base/clamp.hpp"
#include "base/fail.hpp"
#include "glyphs/glyph_path.hpp"
#include "canvas/face_styles.hpp"
#include "canvas/render_text.hpp"

namespace vedad {

bool canvas_prepare_font(Canvas& canvas)
{
    if (std::strcmp(canvas.settings.font_name, "default") == 0) canvas.settings.font_name = DEFAULT_FONT_NAME;
    if (canvas.font.asked == canvas.settings.font_name) return false;
    GlyphPath& glyphs = *canvas.glyphs;
    canvas.font = resolve_font(glyphs.faces.lookup, canvas.settings.font_name, canvas_point_size(canvas));
    canvas.font.asked_at = canvas.settings.font_name;
    // libgd draws a collection's first face; the glyph path draws the face that was asked for.
    if (canvas.font.index > 0) {
        face_cache_use_face(glyphs.faces, canvas.font.libgd_name.c_str(), FontFile{canvas.font.path, canvas.font.index});
    }
    fallback_configure(glyphs.fallback, canvas.settings.fallback != 0, canvas.settings.fallback_fonts,
                       glyphs.fallback.verbose);
    glyphs.ligatures = canvas.settings.ligatures != 0;
    canvas_prepare_styles(canvas);
    return true;
}

GlyphMetrics canvas_measure_glyph(const Canvas& canvas, const char* text)
{
    TextBox box;
    // The cell is the main font's alone.
    const char* error = canvas_render_text(canvas, nullptr, 0, 0, text, box, Missing::BOX);
    if (error != nullptr) {
        const std::string hint = canvas.font.asked == canvas.settings.font_name ? font_search_hint(canvas.font, canvas.settings.font_name)
                                                                       : font_search_hint(FontChoice{}, canvas.settings.font_name);
        fail("while getting metrics for font '%s': %s\n%s", canvas.settings.font_name, error, hint.c_str());
    }
    // Measured at pen (0, 0), the lower-left y is the box's bottom against the baseline.
    return GlyphMetrics{box_width(box), add_clamped(box[3], -static_cast<int64_t>(box[7])), box[1]};
}

GlyphMetrics canvas_measure_text(const Canvas& canvas, const char* text)
{
    GlyphMetrics largest{0, 0, 0};
    for (const char* p = text; *p != '\0'; ++p) {
        const char glyph[2] = {*p, '\0'};
        GlyphMetrics metrics = canvas_measure_glyph(canvas, glyph);
        if (metrics.width > largest.width) largest.width = metrics.width;
        if (metrics.height > largest.height) largest.height = metrics.height;
        if (metrics.descent > largest.descent) largest.descent = metrics.descent;
    }
    return largest;
}

void canvas_setup_cell(Canvas& canvas)
{
    const double points = canvas_point_size(canvas);
    // The cell is the page's style's: with --bold, the bold face's.
    canvas_set_style(canvas, STYLE_REGULAR);
    if (!canvas.sample.measured || canvas.sample.font != canvas.settings.font_name || canvas.sample.points != points ||
        canvas.sample.style != canvas.style) {
        const GlyphMetrics sample = canvas_measure_text(canvas, METRIC_SAMPLE);
        canvas.sample.measured = true;
        canvas.sample.font = canvas.settings.font_name;
        canvas.sample.points = points;
        canvas.sample.style = canvas.style;
        canvas.sample.width = sample.width;
        canvas.sample.height = sample.height;
        canvas.sample.descent = sample.descent;
    }
    const GlyphMetrics largest{canvas.sample.width, canvas.sample.height, canvas.sample.descent};
    canvas.cell_width = add_clamped(largest.width, canvas.settings.char_spacing);
    canvas.line_height = add_clamped(largest.height, canvas.settings.line_spacing);
    // libgd's box bottom can be the last inked row itself: a row may ink down to its
    // baseline plus the descent, inclusive.
    canvas.descent = largest.descent;
    // Emoji and other colour glyphs fill the rows the sample inks.
    canvas.glyphs->color_band = ColorBand{largest.height, largest.descent};
    canvas.glyphs->pen_scale = 1;
    canvas_move_to(canvas, 0, canvas.line_height);
}

void canvas_setup_scaled_cell(Canvas& canvas, int32_t scale)
{
    const double points_scale = canvas.settings.size_scale;
    canvas.settings.size_scale = points_scale / scale;
    canvas_setup_cell(canvas);
    canvas.settings.size_scale = points_scale;
    canvas.cell_width = clamp_to_int32(int64_t{canvas.cell_width} * scale);
    canvas.line_height = clamp_to_int32(int64_t{canvas.line_height} * scale);
    canvas.descent = clamp_to_int32(int64_t{canvas.descent} * scale);
    canvas.glyphs->pen_scale = scale;
    canvas.glyphs->laid_out_band = canvas.glyphs->color_band;
    canvas.glyphs->color_band = ColorBand{clamp_to_int32(int64_t{canvas.sample.height} * scale),
                                          clamp_to_int32(int64_t{canvas.sample.descent} * scale)};
    canvas_move_to(canvas, 0, canvas.line_height);
}

}  // namespace vedad
