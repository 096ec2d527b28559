#include "cli/numbers.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "base/clamp.hpp"

namespace vedad {

bool scan_int_clamped(const char* text, int32_t& value, const char*& end)
{
    char* stop = nullptr;
    int saved_errno = errno;
    // strtoll saturates instead of overflowing; the result is then narrowed with a clamp.
    long long wide = std::strtoll(text, &stop, 10);
    errno = saved_errno;
    end = stop;
    if (stop == text) return false;
    value = clamp_to_int32(static_cast<int64_t>(wide));
    return true;
}

int64_t parse_whole_number(const char* text, int64_t most, int64_t invalid)
{
    if (*text == '\0') return invalid;
    int64_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return invalid;
        const int digit = *p - '0';
        if (digit > most || value > (most - digit) / 10) return invalid;  // checked before it could overflow
        value = value * 10 + digit;
    }
    return value;
}

int32_t parse_int_clamped(const char* text)
{
    int32_t value = 0;
    const char* end = nullptr;
    return scan_int_clamped(text, value, end) ? value : 0;
}

}  // namespace vedad
