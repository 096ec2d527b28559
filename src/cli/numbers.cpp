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

int32_t parse_int_clamped(const char* text)
{
    int32_t value = 0;
    const char* end = nullptr;
    return scan_int_clamped(text, value, end) ? value : 0;
}

}  // namespace vedad
