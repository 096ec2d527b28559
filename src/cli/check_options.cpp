#include "cli/check_options.hpp"

#include <cmath>
#include <cstring>
#include <unistd.h>

#include "base/fail.hpp"
#include "base/standard_descriptors.hpp"
#include "cli/help_text.hpp"

namespace vedad {

void check_options(Options& options, int32_t operand_count)
{
    if (options.silent != 0) {
        options.verbose = 0;
        silence_standard_error();
    }
    if (options.execute != nullptr) {
        // The command's output is the one input; nothing of a file may reach its shell.
        if (operand_count > 0) fail("--execute= draws what its command prints and takes no input files");
    } else if (operand_count == 0) {
        fail_with_hint(print_usage, "no input files specified");
    }
    if (options.width < 1 || options.height < 1) fail("invalid output dimensions");
    if (FONT_SIZE_THRESHOLD > options.drawing.font_size) fail("too small font size %f", options.drawing.font_size);
    if (options.scale < 1 || options.scale > MAX_SCALE)
        fail("--scale= expects a whole number from 1 to %d, as in --scale=2", MAX_SCALE);
    if (options.margin < 0) fail("--margin= expects a number of pixels from 0, as in --margin=8");
    if (options.columns < 0) fail("--columns= expects a whole number of cells from 1, as in --columns=80");
    if (options.rows < 1) fail("--rows= expects a whole number of rows from 1 to %d, as in --rows=24", MAX_TERMINAL_ROWS);
    if (options.timeout < 1) fail("--timeout= expects a whole number of seconds from 1, as in --timeout=30");
    if (options.jobs < 0) fail("--jobs= expects a whole number of threads from 0 to %d, as in --jobs=4", MAX_JOBS);
    if (options.split_rows < 0) fail("--split= expects a whole number of rows from 1, as in --split=100");
    if (options.max_pixels < 1) fail("--max-pixels= expects a number of pixels from 1, as in --max-pixels=50000000");
    if (!(options.drawing.min_contrast >= MIN_CONTRAST_LOWEST && options.drawing.min_contrast <= MIN_CONTRAST_HIGHEST))
        fail("--min-contrast= expects a contrast ratio from 1 to 21, as in --min-contrast=4.5");
    const PlaybackSettings& playback = options.playback;
    if (!(playback.speed > 0 && playback.speed <= 1e6)) fail("--speed= expects a speed above 0, as in --speed=2");
    if (!(playback.idle_limit >= 0 && playback.idle_limit <= 1e9))
        fail("--idle-limit= expects a number of seconds from 0, as in --idle-limit=1.5");
    if (playback.fps_cap < 1)
        fail("--fps-cap= expects a whole number of frames a second from 1 to %d, as in --fps-cap=30", MAX_FPS_CAP);
    if (!(playback.last_frame >= 0 && playback.last_frame <= 1e6))
        fail("--last-frame= expects a number of seconds from 0, as in --last-frame=3");
    if (playback.loop < 0) fail("--loop= expects a whole number of times from 0, as in --loop=0");
    if (std::isnan(playback.at) || playback.at > 1e12)
        fail("--at= expects a number of seconds from 0, as in --at=12.5");
    if (std::strcmp(options.output, "-") == 0) {
        if (operand_count > 1) fail("--output=- writes the picture of one input, not of %d", operand_count);
        if (options.split_rows > 0) fail("--output=- writes one picture, and --split= may make several");
        if (standard_output_was_closed()) fail("standard output is closed");
        if (isatty(STDOUT_FILENO)) fail("refusing to write a PNG to a terminal");
    }
}

}  // namespace vedad
