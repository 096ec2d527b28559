#include "main/fit_page.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "base/fail.hpp"
#include "main/render_page.hpp"

namespace vedad {

FILE* make_rereadable(FILE* input, const char* input_name, bool& copied)
{
    struct stat info;
    copied = false;
    if (fstat(fileno(input), &info) == 0 && S_ISREG(info.st_mode) && std::fseek(input, 0, SEEK_CUR) == 0)
        return input;
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

CanvasSize fitted_canvas_size(const Options& options, Canvas& canvas, FILE* input)
{
    canvas_create(canvas, 1, options.height);
    canvas.measuring = 1;
    TextExtent extent;
    render_page(canvas, options, input, extent);
    canvas.measuring = 0;
    canvas_destroy(canvas);

    // The same rule as the crop: the lowest row keeps its descenders.
    const int64_t height = extent.y > 0 ? int64_t{extent.y} + canvas.descent + 1 : 1;
    return CanvasSize{std::clamp(extent.x, 1, options.width),
                      static_cast<int32_t>(std::clamp<int64_t>(height, 1, options.height))};
}

}  // namespace vedad
