#pragma once

#include <string>

namespace vedad {

// The file libgd opens for `font_list` (font names separated by ';'), found the way libgd's
// own lookup finds it: the first name that leads to a readable file wins; a name holding '/'
// is tried as a path first; otherwise, and when that fails, each directory of GDFONTPATH (or
// libgd's built-in list) is tried with the name as it is when it holds a '.', else with
// ".ttf", ".pfa", ".pfb" and ".dfont" added. Empty when nothing is found.
std::string find_font_file(const char* font_list);

// Whether `path` names a regular file (links followed). Anything else is never handed to
// FreeType: it would wait for ever on a FIFO, and read a device's bytes as a font.
bool is_regular_file(const std::string& path);

}  // namespace vedad
