#pragma once

namespace vedad {

// Every fatal condition ends the process here, so the exit rule lives in one place.

// Prints the printf-style message on standard error and exits with status 1.
[[noreturn]] void fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Prints `text`, a colon, a blank and the system's description of errno, then exits with status 1.
[[noreturn]] void fail_errno(const char* text);

}  // namespace vedad
