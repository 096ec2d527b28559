#pragma once

#include <string_view>

#include "themes/theme_colors.hpp"

namespace vedad {

// Reads X resources: "NAME: VALUE" lines, of which those whose name ends in color0 to
// color15, foreground or background (after any prefix: "*", "*.", "URxvt.") give a colour
// "#rrggbb"; other resources are passed over. Lines beginning with '!' are comments, and
// "#define NAME VALUE" lets a colour's value be NAME.
ThemeReading read_xresources(std::string_view text);

}  // namespace vedad
