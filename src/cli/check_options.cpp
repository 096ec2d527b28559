#include "cli/check_options.hpp"

#include <cstring>
#include <unistd.h>

#include "base/clamp.hpp"
#include "base/fail.hpp"
#include "base/standard_descriptors.hpp"
#include "cli/help_text.hpp"

namespace vedad {

void check_options(Options& options, const Canvas& canvas, int32_t operand_count)
{
    if (options.silent != 0) {
        options.verbose = 0;
        silence_standard_error();
    }
    if (operand_count == 0) fail_with_hint(print_usage, "no input files specified");
    if (options.width < 1 || options.height < 1) fail("invalid output dimensions");
    if (FONT_SIZE_THRESHOLD > canvas.font_size) fail("too small font size %f", canvas.font_size);
    if (options.scale < 1 || options.scale > MAX_SCALE)
        fail("--scale= expects a whole number from 1 to %d, as in --scale=2", MAX_SCALE);
    if (options.margin < 0) fail("--margin= expects a number of pixels from 0, as in --margin=8");
    if (std::strcmp(options.output, "-") == 0) {
        if (operand_count > 1) fail("--output=- writes the picture of one input, not of %d", operand_count);
        if (isatty(STDOUT_FILENO)) fail("refusing to write a PNG to a terminal");
    }
}

void apply_layout(Options& options, Canvas& canvas)
{
    if (options.fit != 0 && options.size_given == 0) {
        options.width = FIT_LIMIT;
        options.height = FIT_LIMIT;
    }
    const int64_t scale = options.scale;
    options.width = clamp_to_int32(scale * options.width);
    options.height = clamp_to_int32(scale * options.height);
    options.margin = clamp_to_int32(scale * options.margin);
    canvas.size_scale *= static_cast<double>(scale);
}

}  // namespace vedad
