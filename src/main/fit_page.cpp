#include "main/fit_page.hpp"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "base/fail.hpp"
#include "main/render_page.hpp"

namespace vedad {

FILE* make_rereadable(FILE* input, const char* input_name, bool& copied, off_t& start)
{
    struct stat info;
    copied = false;
    start = 0;
    if (fstat(fileno(input), &info) == 0 && S_ISREG(info.st_mode) && (start = ftello(input)) >= 0) return input;
    start = 0;
    FILE* copy = std::tmpfile();
    if (copy == nullptr) fail("could not keep a copy of %s: %s", input_name, std::strerror(errno));
    char buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, input)) > 0;) {
        if (std::fwrite(buffer, 1, got, copy) != got)
            fail("could not keep a copy of %s: %s", input_name, std::strerror(errno));
    }
    if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
    if (std::fflush(copy) != 0) fail("could not keep a copy of %s: %s", input_name, std::strerror(errno));
    std::rewind(copy);
    copied = true;
    return copy;
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
