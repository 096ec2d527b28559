#pragma once

#include <string_view>

#include "themes/theme_colors.hpp"

namespace vedad {

// Reads an iTerm2 colour preset (.itermcolors): an XML property list whose dictionary maps
// "Ansi 0 Color" ... "Ansi 15 Color", "Foreground Color" and "Background Color" each to a
// dictionary of "Red Component", "Green Component" and "Blue Component", reals from 0 to 1.
// Other entries, and the other members of a colour (alpha, colour space), are passed over.
ThemeReading read_itermcolors(std::string_view text);

}  // namespace vedad
