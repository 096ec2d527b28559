#include "base/standard_descriptors.hpp"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace vedad {

namespace {

bool output_closed = false;

}  // namespace

void occupy_standard_descriptors()
{
    output_closed = fcntl(STDOUT_FILENO, F_GETFD) < 0;
    for (;;) {
        int fd = open("/dev/null", O_RDWR | O_CLOEXEC);
        if (fd < 0) return;
        if (fd > STDERR_FILENO) {
            close(fd);
            return;
        }
    }
}

bool standard_output_was_closed()
{
    return output_closed;
}

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

}  // namespace vedad
