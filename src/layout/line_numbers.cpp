#include "layout/line_numbers.hpp"

#include <cmath>
#include <string>

#include "base/clamp.hpp"
#include "base/fail.hpp"
#include "canvas/render_text.hpp"

namespace vedad {

namespace {

// How far the numbers' colour lies from the foreground towards the background.
constexpr double NUMBER_DIMMING = 0.45;

int32_t dimmed(const Rgb& foreground, const Rgb& background)
{
    auto part = [](uint8_t a, uint8_t b) { return static_cast<int>(std::lround(a + (b - a) * NUMBER_DIMMING)); };
    return gdTrueColorAlpha(part(foreground.r, background.r), part(foreground.g, background.g),
                            part(foreground.b, background.b), gdAlphaOpaque);
}

int32_t digits(int64_t number)
{
    int32_t count = 1;
    for (; number >= 10; number /= 10) ++count;
    return count;
}

}  // namespace

int64_t shown_line_count(const Canvas& canvas, const TextExtent& extent)
{
    // A row shows while its top lies above the page's bottom edge.
    const int64_t bottom = int64_t{gdImageSY(canvas.image)} + canvas.line_height - canvas.descent;
    int64_t count = 0;
    for (const int32_t baseline : canvas.line_baselines) {
        if (baseline > extent.y || baseline >= bottom) break;
        ++count;
    }
    return count;
}

int32_t gutter_width(const Canvas& canvas, int64_t last)
{
    return clamp_to_int32((digits(last) + int64_t{1}) * canvas.cell_width);
}

void add_line_numbers(Canvas& canvas, const Options& options, const TextExtent& extent)
{
    const int64_t count = shown_line_count(canvas, extent);
    const int64_t first = options.frame.first_line_number;
    const int32_t width = gutter_width(canvas, first + (count > 0 ? count - 1 : 0));
    canvas_add_border(canvas, Sides{0, 0, 0, width}, canvas.background_color);
    const int32_t kept = canvas.foreground_color;
    canvas.foreground_color = dimmed(options.foreground, options.background);
    const int32_t right = width - canvas.cell_width;
    for (int64_t i = 0; i < count; ++i) {
        const std::string number = std::to_string(first + i);
        TextBox box;
        if (const char* error = canvas_render_text(canvas, nullptr, 0, 0, number.c_str(), box, Missing::BOX))
            fail("while rendering: %s", error);
        const int32_t baseline = canvas.line_baselines[static_cast<size_t>(i)];
        canvas_render_text(canvas, canvas.image, right - box_width(box), baseline, number.c_str(), box, Missing::BOX);
    }
    canvas.foreground_color = kept;
}

}  // namespace vedad
