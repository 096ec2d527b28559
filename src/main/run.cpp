#include "main/run.hpp"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include <gd.h>

#include "base/ending_signals.hpp"
#include "base/standard_descriptors.hpp"
#include "canvas/canvas.hpp"
#include "cli/check_options.hpp"
#include "cli/color_warning.hpp"
#include "cli/parse_options.hpp"
#include "cli/theme_option.hpp"
#include "layout/scale.hpp"
#include "main/command_terminal.hpp"
#include "main/convert_file.hpp"
#include "main/execute_command.hpp"
#include "main/file_jobs.hpp"
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

// libgd reports on standard error what the program reports itself, in its own words: an image
// it cannot make, a picture it cannot encode. Its own lines would come before the error.
void quiet_libgd(int, const char*, va_list) {}

// A run ended by a signal takes the command it runs with it, and leaves no temporary file.
void end_run_by_signal()
{
    end_running_command();
    remove_temporary_file();
}

}  // namespace

int run(int argument_count, char** arguments)
{
    occupy_standard_descriptors();
    gdSetErrorMethod(quiet_libgd);
    keep_failed_writes_from_killing();
    // A hidden temporary file goes with the run, whether it fails (every failure exits) or
    // is interrupted.
    std::atexit(remove_temporary_file);
    clean_up_on_ending_signals(end_run_by_signal);
    Options options;
    set_default_options(options);
    Operands operands;
    parse_options(argument_count, arguments, options, operands);
    check_options(options, static_cast<int32_t>(operands.size()));
    apply_theme(options);
    warn_about_colors(options);
    apply_layout(options);
    if (options.verbose != 0) {
        std::fprintf(stderr, "output format: %s %dx%d pixels\n", pixel_format_name(options.drawing), options.width,
                     options.height);
    }
    // Several files on several threads; one file, or standard input read more than once, on one.
    const int32_t threads = std::min<int64_t>(jobs_wanted(options.jobs), static_cast<int64_t>(operands.size()));
    if (threads > 1 && std::count_if(operands.begin(), operands.end(), [](const char* operand) {
                           return std::strcmp(operand, "-") == 0;
                       }) < 2) {
        return convert_files_in_jobs(options, operands, threads);
    }
    Canvas canvas;
    canvas_init(canvas, options.drawing);
    if (options.execute != nullptr) convert_command(options, canvas);
    for (const char* operand : operands) convert_file(options, canvas, operand);
    return 0;
}

}  // namespace vedad
