#include "main/sized_canvas.hpp"

#include <algorithm>
#include <cerrno>
#include <array>
#include <cstdint>
#include <cstring>
#include <sys/stat.h>

#include "base/fail.hpp"
#include "canvas/font_metrics.hpp"
#include "layout/text_bottom.hpp"
#include "main/render_page.hpp"

namespace vedad {

namespace {

// 16 MB of pixels: the largest canvas a shorter one is tried for.
constexpr int64_t MOST_PIXELS_TRIED = int64_t{1} << 22;

// Rows the input's bytes begin, as far as they can be told without reading it as its reader
// does: line feeds (and vertical tabs and form feeds for terminal output), or <br for span
// HTML. A count too low only costs a second drawing. An input with more rows than `most`
// gives `most`; the stream is left where it was, or false is returned when it cannot be.
bool count_rows(FILE* input, InputForm form, int64_t most, int64_t& rows)
{
    const off_t start = ftello(input);
    if (start < 0) return false;
    std::array<char, 1 << 16> buffer;
    rows = 0;
    int matched = 0;  // of "<br", across reads
    while (rows < most) {
        const size_t size = std::fread(buffer.data(), 1, buffer.size(), input);
        if (size == 0) break;
        for (size_t i = 0; i < size; ++i) {
            const char c = buffer[i];
            if (form == InputForm::SPAN_HTML) {
                matched = c == '<' ? 1 : (matched == 1 && c == 'b') ? 2 : (matched == 2 && c == 'r') ? 3 : 0;
                if (matched == 3) {
                    ++rows;
                    matched = 0;
                }
            } else {
                rows += c == '\n' || (form == InputForm::TERMINAL && (c == '\v' || c == '\f'));
            }
        }
    }
    std::clearerr(input);
    if (fseeko(input, start, SEEK_SET) != 0) return false;
    rows = std::min(rows, most);
    return true;
}

bool is_regular_file(FILE* input)
{
    struct stat info;
    return fstat(fileno(input), &info) == 0 && S_ISREG(info.st_mode);
}

// A height that holds `rows` rows from the top, with a row to spare below the last and room
// for what a glyph inks past it; 0 when the rows are not known to move down.
int64_t height_for_rows(const Canvas& canvas, int64_t rows)
{
    if (canvas.line_height <= 0) return 0;
    return (rows + 3) * int64_t{canvas.line_height} + canvas.descent;
}

}  // namespace

void draw_page_on_sized_canvas(const Options& options, Canvas& canvas, FILE* input, CanvasSize size,
                               TextExtent& extent)
{
    int64_t rows = 0;
    int64_t trial = 0;
    // Only a picture cropped to its text can come from a part of the canvas, and only a canvas
    // that would surely be made: one too large for libgd or for memory ends the run as ever.
    const bool may_try = options.crop != 0 && options.fit == 0 &&
                         int64_t{size.width} * size.height <= MOST_PIXELS_TRIED && is_regular_file(input);
    if (may_try) canvas_setup_cell(canvas);
    if (may_try && canvas.line_height > 0) {
        const int64_t most = size.height / canvas.line_height;
        if (count_rows(input, options.input_form, most, rows) && rows < most) trial = height_for_rows(canvas, rows);
    }
    if (trial <= 0 || trial >= size.height) {
        canvas_create(canvas, size.width, size.height);
        render_page(canvas, options, input, extent);
        return;
    }

    const off_t start = ftello(input);
    canvas_create(canvas, size.width, static_cast<int32_t>(trial));
    render_page(canvas, options, input, extent);
    // Whatever the crop keeps lies well inside the shorter canvas: it is what the whole one
    // holds there. The warnings about cut text come later, from the same extent.
    const int64_t bottom = text_bottom(extent.y, canvas.descent);
    if (std::ferror(input) == 0 && extent.x > 0 && bottom > 0 && bottom < trial) return;

    if (start < 0 || fseeko(input, start, SEEK_SET) != 0) {
        fail("could not read %s again: %s", canvas.input_name, std::strerror(errno));
    }
    canvas_destroy(canvas);
    canvas.overflow = CellOverflow{};
    canvas_create(canvas, size.width, size.height);
    // The readers told their warnings on the first drawing.
    const int32_t measuring = canvas.measuring;
    canvas.measuring = 1;
    render_page(canvas, options, input, extent);
    canvas.measuring = measuring;
}

}  // namespace vedad
