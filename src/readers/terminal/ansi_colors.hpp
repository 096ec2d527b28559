#pragma once

#include <cstdint>

#include "base/rgb.hpp"

namespace vedad {

// The 256-colour palette: the 16 basic colours of xterm (0-7, bright 8-15), the 6x6x6 cube
// (16-231) and 24 greys (232-255). `index` is 0 to 255.
Rgb palette_color(int index);

// A faint colour: each component halved.
Rgb faint_color(Rgb color);

}  // namespace vedad
