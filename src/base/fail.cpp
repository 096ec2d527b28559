#include "base/fail.hpp"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/messages.hpp"

namespace vedad {

namespace {

thread_local bool throwing_failures = false;

void print_error(const char* format, va_list args)
{
    FILE* stream = messages();
    std::fputs("error: ", stream);
    std::vfprintf(stream, format, args);
    std::fputc('\n', stream);
}

[[noreturn]] void end_with_failure()
{
    if (throwing_failures) throw FileFailed{};
    std::exit(1);
}

}  // namespace

void fail_by_throwing(bool throwing)
{
    throwing_failures = throwing;
}

void fail(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    print_error(format, args);
    va_end(args);
    end_with_failure();
}

void fail_with_hint(void (*print_hint)(), const char* format, ...)
{
    va_list args;
    va_start(args, format);
    print_error(format, args);
    va_end(args);
    std::fputc('\n', stderr);
    print_hint();
    std::exit(1);
}

void fail_errno(const char* text)
{
    if (messages() == stderr) {
        std::perror(text);
    } else {
        const int error = errno;
        std::fprintf(messages(), "%s: %s\n", text, std::strerror(error));
    }
    end_with_failure();
}

}  // namespace vedad
