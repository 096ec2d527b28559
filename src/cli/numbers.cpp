#include "cli/numbers.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace vedad {

namespace {

int32_t clamp_to_int32(long long value)
{
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

bool scan_int_clamped(const char* text, int32_t& value, const char*& end)
{
    char* stop = nullptr;
    int saved_errno = errno;
    // strtoll saturates instead of overflowing; the result is then narrowed with a clamp.
    long long wide = std::strtoll(text, &stop, 10);
    errno = saved_errno;
    end = stop;
    if (stop == text) return false;
    value = clamp_to_int32(wide);
    return true;
}

int32_t parse_int_clamped(const char* text)
{
    int32_t value = 0;
    const char* end = nullptr;
    return scan_int_clamped(text, value, end) ? value : 0;
}

}  // namespace vedad
