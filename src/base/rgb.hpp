#pragma once

#include <cstdint>

namespace vedad {

// A colour; each component is 0 to 255 when read from a colour text.
struct Rgb {
    int32_t r = 0;
    int32_t g = 0;
    int32_t b = 0;
};

}  // namespace vedad
