#include "main/run.hpp"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "base/ending_signals.hpp"
#include "base/standard_descriptors.hpp"
#include "canvas/canvas.hpp"
#include "cli/check_options.hpp"
#include "cli/color_warning.hpp"
#include "cli/parse_options.hpp"
#include "cli/theme_option.hpp"
#include "layout/scale.hpp"
#include "main/convert_file.hpp"
#include "output/temporary_file.hpp"

namespace vedad {

namespace {

// A reader of standard error that has gone away, or a file size limit reached, would end the
// process by a signal half way through a picture. Ignored, they turn into failed writes: lost
// messages, or a picture that is reported as not written and not left behind half done.
void keep_failed_writes_from_killing()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace

int run(int argument_count, char** arguments)
{
    occupy_standard_descriptors();
    keep_failed_writes_from_killing();
    // A hidden temporary file goes with the run, whether it fails (every failure exits) or
    // is interrupted.
    std::atexit(remove_temporary_file);
    clean_up_on_ending_signals(remove_temporary_file);
    Options options;
    set_default_options(options);
    const int32_t operand_count = parse_options(argument_count, arguments, options);
    check_options(options, operand_count);
    apply_theme(options);
    warn_about_colors(options);
    apply_layout(options);
    if (options.verbose != 0) {
        std::fprintf(stderr, "output format: %s %dx%d pixels\n", pixel_format_name(options.drawing), options.width,
                     options.height);
    }
    Canvas canvas;
    canvas_init(canvas, options.drawing);
    for (int i = 1; i < argument_count; ++i) {
        if (is_file_operand(arguments[i])) convert_file(options, canvas, arguments[i]);
    }
    return 0;
}

}  // namespace vedad
