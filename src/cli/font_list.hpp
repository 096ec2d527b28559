#pragma once

#include "fonts/font_lookup.hpp"

namespace vedad {

// --list-fonts: the installed font families that --font= takes, one a line on standard
// output, each with its styles ("DejaVu Sans Mono: Bold, Bold Oblique, Book, Oblique"), then
// ends the run: with status 0 once the list is written, 1 when it could not be.
[[noreturn]] void list_fonts(FontListing listing);

}  // namespace vedad
