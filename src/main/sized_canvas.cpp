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

// What the input's bytes tell of its page without reading it as its reader does: the rows
// they begin (line feeds, and vertical tabs and form feeds for terminal output, or <br for
// span HTML) and the most cells a row of plain text or terminal output can take (a byte a
// cell, a tab `tab_width`). A guess too low only costs a second drawing.
struct PageGuess {
    int64_t rows = 0;
    int64_t widest = -1;  // cells; -1 when not told
};

// Reads no further than `most` rows; leaves the stream where it was, or returns false when it
// cannot.
bool guess_page(FILE* input, InputForm form, int64_t tab_width, int64_t most, PageGuess& guess)
{
    const off_t start = ftello(input);
    if (start < 0) return false;
    // Read through the stream's buffer: a small file is read at once, and read again from
    // memory.
    std::array<char, 1 << 12> buffer;
    guess = PageGuess{};
    int64_t cells = 0;  // of the row read
    int matched = 0;    // of "<br", across reads
    while (guess.rows < most) {
        const size_t size = std::fread(buffer.data(), 1, buffer.size(), input);
        if (size == 0) break;
        for (size_t i = 0; i < size; ++i) {
            const char c = buffer[i];
            if (form == InputForm::SPAN_HTML) {
                matched = c == '<' ? 1 : (matched == 1 && c == 'b') ? 2 : (matched == 2 && c == 'r') ? 3 : 0;
                if (matched == 3) {
                    ++guess.rows;
                    matched = 0;
                }
            } else if (c == '\n' || (form == InputForm::TERMINAL && (c == '\v' || c == '\f'))) {
                ++guess.rows;
                guess.widest = std::max(guess.widest, cells);
                cells = 0;
            } else {
                cells += c == '\t' ? tab_width : 1;
            }
        }
    }
    if (form != InputForm::SPAN_HTML) guess.widest = std::max(guess.widest, cells);
    std::clearerr(input);
    if (fseeko(input, start, SEEK_SET) != 0) return false;
    guess.rows = std::min(guess.rows, most);
    return true;
}

bool is_regular_file(FILE* input)
{
    struct stat info;
    return fstat(fileno(input), &info) == 0 && S_ISREG(info.st_mode);
}

// A height that holds `rows` rows from the top, with a row to spare below the last and room
// for what a glyph inks past it.
int64_t height_for_rows(const Canvas& canvas, int64_t rows)
{
    return (rows + 3) * int64_t{canvas.line_height} + canvas.descent;
}

// A width that holds `cells` cells of the font, and some to spare; 0 when that is not told. A
// row's characters advance by the font's fractional advance, which the cell's whole pixels
// round down: a pixel more a character holds them.
int64_t width_for_cells(const Canvas& canvas, int64_t cells)
{
    if (cells < 0 || canvas.cell_width <= 0) return 0;
    return (std::min<int64_t>(cells, INT32_MAX) + 4) * (int64_t{canvas.cell_width} + 1);
}

}  // namespace

void draw_page_on_sized_canvas(const Options& options, Canvas& canvas, FILE* input, CanvasSize size,
                               TextExtent& extent)
{
    CanvasSize trial = size;
    // Only a picture cropped to its text can come from a part of the canvas, and only a canvas
    // that would surely be made: one too large for libgd or for memory ends the run as ever.
    const bool may_try = options.crop != 0 && options.fit == 0 &&
                         int64_t{size.width} * size.height <= MOST_PIXELS_TRIED && is_regular_file(input);
    if (may_try) setup_page_cell(canvas, options);
    if (may_try && canvas.line_height > 0) {
        const int64_t most = size.height / canvas.line_height;
        const int64_t tab_width = std::max(canvas.settings.tab_width, 1);
        PageGuess guess;
        if (guess_page(input, options.input_form, tab_width, most, guess) && guess.rows < most) {
            // A canvas up to the last page's size costs no more to make than a smaller one:
            // its memory is reused.
            const auto [spare_width, spare_height] = canvas_spare_size(canvas);
            const int64_t height = std::max<int64_t>(height_for_rows(canvas, guess.rows), spare_height);
            trial.height = static_cast<int32_t>(std::min<int64_t>(size.height, height));
            const int64_t width = width_for_cells(canvas, guess.widest);
            if (width > 0) trial.width = static_cast<int32_t>(std::min<int64_t>(size.width, std::max<int64_t>(width, spare_width)));
        }
    }
    if (trial.width == size.width && trial.height == size.height) {
        canvas_create_for_page(canvas, size.width, size.height);
        render_page(canvas, options, input, extent);
        return;
    }

    const off_t start = ftello(input);
    canvas_create_for_page(canvas, trial.width, trial.height);
    canvas.unkept_text_moved_in = 0;
    render_page(canvas, options, input, extent);
    // Whatever the crop keeps lies well inside the smaller canvas: it is what the whole one
    // holds there, and no row reached an edge of either. The warnings about cut text come
    // later, from the same extent. Text moved into view from past what the smaller canvas
    // kept may be what the whole one kept.
    const int64_t bottom = text_bottom(extent.y, canvas.descent);
    if (std::ferror(input) == 0 && canvas.unkept_text_moved_in == 0 && extent.x > 0 && extent.x < trial.width && bottom > 0 && bottom < trial.height)
        return;

    if (start < 0 || fseeko(input, start, SEEK_SET) != 0) {
        fail("could not read %s again: %s", canvas.input_name, std::strerror(errno));
    }
    canvas_destroy(canvas);
    canvas.overflow = CellOverflow{};
    canvas_create_for_page(canvas, size.width, size.height);
    // The readers told their warnings on the first drawing.
    const int32_t measuring = canvas.measuring;
    canvas.measuring = 1;
    render_page(canvas, options, input, extent);
    canvas.measuring = measuring;
}

}  // namespace vedad
