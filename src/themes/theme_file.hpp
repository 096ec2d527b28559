#pragma once

#include <cstddef>
#include <string_view>

#include "themes/theme_colors.hpp"

namespace vedad {

// No theme file is near this large; a larger one is refused rather than read.
inline constexpr size_t THEME_FILE_LIMIT = 1 << 20;

// Reads the text of a theme file in the form its first characters (after blanks and a
// byte-order mark) show: '{' a Windows Terminal colour scheme (JSON), "<?xml" or "<plist" an
// iTerm2 property list, anything else X resources.
ThemeReading read_theme_text(std::string_view text);

// The theme that the value of --theme= names: a built-in theme, or else a theme file. A file
// that cannot be read ends the run with a message that names it, the line when there is one,
// and what is wrong.
Theme load_theme(const char* value);

}  // namespace vedad
