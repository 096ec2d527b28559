#pragma once

#include <cstdint>

#include "base/rgb.hpp"
#include "base/theme.hpp"

namespace vedad {

// The 256-colour palette: the 16 basic colours (0-7, bright 8-15) as the theme has them, then
// xterm's 6x6x6 cube (16-231) and 24 greys (232-255) whatever the theme. `index` is 0 to 255.
Rgb palette_color(const BasicColors& basic, int index);

// A faint colour: each component halved.
Rgb faint_color(Rgb color);

}  // namespace vedad
