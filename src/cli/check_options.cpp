#include "cli/check_options.hpp"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "cli/help_text.hpp"
#include "main/fail.hpp"

namespace vedad {

void silence_standard_error()
{
    std::fflush(stderr);
    // Descriptor 2 is pointed at the null device rather than closed, so that no file opened
    // later can take its place and receive messages.
    int null_device = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null_device < 0) {
        // No null device (a bare chroot): a pipe's read end holds descriptor 2 instead, so
        // writes to it fail quietly.
        int ends[2];
        if (pipe(ends) != 0) return;
        close(ends[1]);
        null_device = ends[0];
    }
    // When descriptor 2 was closed at start-up the new descriptor is 2 itself and must stay open.
    if (null_device == STDERR_FILENO) return;
    dup2(null_device, STDERR_FILENO);
    close(null_device);
}

void check_options(Options& options, const Canvas& canvas, int32_t operand_count)
{
    if (options.silent != 0) {
        options.verbose = 0;
        silence_standard_error();
    }
    if (operand_count == 0) {
        std::fprintf(stderr, "error: no input files specified\n\n");
        print_usage();
        std::exit(1);
    }
    if (options.width < 1 || options.height < 1) fail("error: invalid output dimensions\n");
    if (FONT_SIZE_THRESHOLD > canvas.font_size) fail("error: too small font size %f\n", canvas.font_size);
}

}  // namespace vedad
