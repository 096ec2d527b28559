#pragma once

#include <cstdint>

#include "base/rgb.hpp"

namespace vedad {

// A colour as a terminal's escape sequences name it, packed as 0xRRGGBB.
using PackedRgb = uint32_t;

PackedRgb pack_rgb(const Rgb& rgb);
Rgb unpack_rgb(PackedRgb packed);

// The 256-colour palette: the 16 basic colours of xterm (0-7, bright 8-15), the 6x6x6 cube
// (16-231) and 24 greys (232-255). `index` is 0 to 255.
PackedRgb palette_color(int index);

// A faint colour: each component halved.
PackedRgb faint_color(PackedRgb color);

}  // namespace vedad
