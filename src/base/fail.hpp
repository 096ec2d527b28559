#pragma once

namespace vedad {

// Every fatal condition ends the process here, so the exit rule lives in one place.

// Prints "error: ", the printf-style message and a newline on standard error, and exits
// with status 1.
[[noreturn]] void fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// As fail, then a blank line and whatever `print_hint` prints (the usage text), then exits.
[[noreturn]] void fail_with_hint(void (*print_hint)(), const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Prints `text`, a colon, a blank and the system's description of errno, then exits with status 1.
[[noreturn]] void fail_errno(const char* text);

// On a thread that converts files alongside others, a fatal error cannot end the process at
// once: the files before it are still to be written, in order. There the failures above tell
// their message among the file's messages (see messages.hpp) and throw FileFailed, which the
// thread catches to end the run where the serial run would end.
struct FileFailed {};
void fail_by_throwing(bool throwing);

}  // namespace vedad
