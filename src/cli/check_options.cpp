#include "cli/check_options.hpp"

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
}

}  // namespace vedad
