#include "layout/cut_text.hpp"

#include <cinttypes>
#include <cstdio>

#include "base/messages.hpp"

namespace vedad {

namespace {

// What a warning about cut text ends with, but under --verbose.
constexpr const char CUT_TEXT_ADVICE[] = "; --fit or a larger --size= shows it";

// Rows whose lowest inked row lies past the bottom edge. Rows stand one line height apart,
// the first on the baseline one line height down, so the lowest baseline tells how many
// there are.
int64_t rows_below(const Canvas& canvas, const TextExtent& extent)
{
    const int64_t step = canvas.line_height;
    const int64_t height = gdImageSY(canvas.image);
    if (step <= 0 || int64_t{extent.y} + canvas.descent < height) return 0;
    const int64_t rows = extent.y / step;
    const int64_t shown = height - 1 - canvas.descent < 0 ? 0 : (height - 1 - canvas.descent) / step;
    return rows > shown ? rows - shown : 0;
}

}  // namespace

void warn_about_cut_text(const Options& options, const Canvas& canvas, TextExtent& extent)
{
    finish_rows(extent, canvas);
    if (options.silent != 0) return;
    // --verbose says more around these lines, and keeps them short.
    const char* advice = options.verbose != 0 ? "" : CUT_TEXT_ADVICE;
    if (extent.rows_cut_right > 0) {
        std::fprintf(messages(), "warning: text cut at the right edge (%" PRId64 " of %" PRId64 " rows)%s\n",
                     extent.rows_cut_right, extent.rows_shown, advice);
    }
    const int64_t below = rows_below(canvas, extent);
    if (below > 0) std::fprintf(messages(), "warning: text cut at the bottom (%" PRId64 " more rows)%s\n", below, advice);
}

}  // namespace vedad
