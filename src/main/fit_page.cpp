#include "main/fit_page.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fail.hpp"
#include "main/render_page.hpp"
#include "readers/plain_text.hpp"

namespace vedad {

namespace {

// An unnamed file in TMPDIR, or /tmp when that is unset or empty.
FILE* temporary_copy(const char* input_name)
{
    const char* folder = std::getenv("TMPDIR");
    if (folder == nullptr || folder[0] == '\0') folder = "/tmp";
    std::string path = std::string(folder) + "/.vedad-copy-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd < 0) fail("could not keep a copy of %s in %s: %s", input_name, folder, std::strerror(errno));
    unlink(path.c_str());
    FILE* copy = fdopen(fd, "w+b");
    if (copy == nullptr) fail("could not keep a copy of %s: %s", input_name, std::strerror(errno));
    return copy;
}

// Counts the rows of plain text as the reader cuts them: a row ends with its line feed or
// after the longest piece.
struct RowCounter {
    int64_t rows = 0;
    size_t row_bytes = 0;

    // How many of `bytes` lie in the first `most` rows; counts every row.
    size_t take(const char* bytes, size_t size, int64_t most)
    {
        size_t kept = 0;
        for (size_t i = 0; i < size; ++i) {
            if (rows < most || most < 0) kept = i + 1;
            ++row_bytes;
            if (bytes[i] == '\n' || row_bytes == static_cast<size_t>(PLAIN_TEXT_PIECE_MAX)) {
                ++rows;
                row_bytes = 0;
            }
        }
        return kept;
    }
};

}  // namespace

RereadableInput make_rereadable(FILE* input, const char* input_name, int64_t most_rows)
{
    RereadableInput kept;
    struct stat info;
    if (fstat(fileno(input), &info) == 0 && S_ISREG(info.st_mode) && (kept.start = ftello(input)) >= 0) {
        kept.stream = input;
        return kept;
    }
    kept.start = 0;
    FILE* copy = temporary_copy(input_name);
    RowCounter counter;
    char buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, input)) > 0;) {
        const size_t keep = most_rows < 0 ? got : counter.take(buffer, got, most_rows);
        if (keep > 0 && std::fwrite(buffer, 1, keep, copy) != keep)
            fail("could not keep a copy of %s: %s", input_name, std::strerror(errno));
    }
    if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
    if (std::fflush(copy) != 0) fail("could not keep a copy of %s: %s", input_name, std::strerror(errno));
    std::rewind(copy);
    if (most_rows >= 0) {
        const int64_t rows = counter.rows + (counter.row_bytes > 0 ? 1 : 0);
        kept.rows_left_out = std::max<int64_t>(rows - most_rows, 0);
    }
    kept.stream = copy;
    kept.copied = true;
    return kept;
}

int64_t rows_that_can_show(const Options& options, const Canvas& canvas)
{
    if (options.input_form != InputForm::PLAIN_TEXT || canvas.line_height <= 0) return -1;
    // Every row whose baseline lies within the tallest canvas, its ink above it, and one more.
    const int64_t tallest = std::min<int64_t>(options.height, options.max_pixels);
    return tallest / canvas.line_height + 2;
}

CanvasSize measure_page(const Options& options, Canvas& canvas, FILE* input)
{
    canvas_create(canvas, 1, options.height);
    canvas.measuring = 1;
    TextExtent extent;
    render_page(canvas, options, input, extent);
    canvas.measuring = 0;
    canvas_destroy(canvas);
    return fitted_canvas_size(options, extent, canvas.descent);
}

}  // namespace vedad
