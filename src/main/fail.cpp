#include "main/fail.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace vedad {

void fail(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::exit(1);
}

void fail_errno(const char* text)
{
    std::perror(text);
    std::exit(1);
}

}  // namespace vedad
