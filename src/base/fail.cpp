#include "base/fail.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace vedad {

namespace {

void print_error(const char* format, va_list args)
{
    std::fputs("error: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
}

}  // namespace

void fail(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    print_error(format, args);
    va_end(args);
    std::exit(1);
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
    std::perror(text);
    std::exit(1);
}

}  // namespace vedad
