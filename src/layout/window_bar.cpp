#include "layout/window_bar.hpp"

#include <algorithm>
#include <cmath>

#include "base/contrast.hpp"
#include "base/fail.hpp"
#include "canvas/drawing_record.hpp"
#include "canvas/font_metrics.hpp"
#include "canvas/render_text.hpp"
#include "layout/coverage.hpp"

namespace vedad {

namespace {

// The bar at scale 1 is at least this tall, and holds the title with this much room above and
// below its row.
constexpr int32_t BAR_LEAST_HEIGHT = 28;
constexpr int32_t BAR_ROOM = 12;
// Where the mac style's buttons end, with some room after them.
constexpr int32_t BUTTONS_END = 76;

Rgb mixed(const Rgb& from, const Rgb& towards, double share)
{
    auto part = [share](uint8_t a, uint8_t b) {
        return static_cast<uint8_t>(std::lround(a + (b - a) * share));
    };
    return Rgb{part(from.r, towards.r), part(from.g, towards.g), part(from.b, towards.b)};
}

int32_t opaque(const Rgb& rgb)
{
    return gdTrueColorAlpha(rgb.r, rgb.g, rgb.b, gdAlphaOpaque);
}

// The title is centred, but never over the buttons, which end at `left`.
void draw_title(Canvas& canvas, const char* title, int32_t bar_height, int32_t left, const Rgb& color)
{
    if (title == nullptr || title[0] == '\0') return;
    TextBox box;
    if (const char* error = canvas_render_text(canvas, nullptr, 0, 0, title, box, Missing::FALLBACK))
        fail("while rendering the title: %s", error);
    // Capitals stand in the middle of the bar, whatever letters the title has.
    const GlyphMetrics capital = canvas_measure_glyph(canvas, "H");
    const int32_t ascent = capital.height - capital.descent;
    const int32_t x = std::max((gdImageSX(canvas.image) - box_width(box)) / 2, left);
    const int32_t y = (bar_height + ascent) / 2;
    const int32_t kept = canvas.foreground_color;
    canvas.foreground_color = opaque(color);
    canvas_render_text(canvas, canvas.image, x, y, title, box, Missing::FALLBACK);
    canvas.foreground_color = kept;
}

}  // namespace

Rgb window_bar_color(const Rgb& background)
{
    const bool dark = contrast_ratio(background, Rgb{255, 255, 255}) > contrast_ratio(background, Rgb{0, 0, 0});
    return dark ? mixed(background, Rgb{255, 255, 255}, 0.10) : mixed(background, Rgb{0, 0, 0}, 0.07);
}

int32_t window_bar_height(int32_t line_height, int32_t scale)
{
    return std::max(BAR_LEAST_HEIGHT * scale, line_height + BAR_ROOM * scale);
}

void add_window_bar(Canvas& canvas, const Options& options, const char* title, int32_t scale)
{
    const Rgb bar = window_bar_color(options.background);
    const int32_t height = window_bar_height(canvas.line_height, scale);
    canvas_add_border(canvas, Sides{height, 0, 0, 0}, opaque(bar));
    if (options.frame.window == WindowStyle::MAC) {
        for (size_t i = 0; i < std::size(WINDOW_BUTTON_X); ++i) {
            fill_disc(canvas.image, WINDOW_BUTTON_X[i] * scale, height / 2.0, WINDOW_BUTTON_RADIUS * scale,
                      opaque(rgb_of_hex(WINDOW_BUTTON_COLORS[i])));
            if (canvas.record != nullptr) {
                record_disc(*canvas.record, WINDOW_BUTTON_X[i] * scale, height / 2.0, WINDOW_BUTTON_RADIUS * scale,
                            opaque(rgb_of_hex(WINDOW_BUTTON_COLORS[i])));
            }
        }
    }
    const int32_t left = options.frame.window == WindowStyle::MAC ? BUTTONS_END * scale : 0;
    draw_title(canvas, title, height, left, mixed(options.foreground, bar, 0.4));
}

}  // namespace vedad
