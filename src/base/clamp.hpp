#pragma once

#include <cstdint>

namespace vedad {

// `value` held to the 32-bit range: numbers read from the command line and pens moved by
// any spacing never overflow.
inline int32_t clamp_to_int32(int64_t value)
{
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// a + b, held to the 32-bit range.
inline int32_t add_clamped(int64_t a, int64_t b)
{
    return clamp_to_int32(a + b);
}

}  // namespace vedad
