#pragma once

#include <string>

#include "fonts/font_lookup.hpp"

namespace vedad {

// Which font file a run draws in. libgd's own lookup comes first (GDFONTPATH, else its
// built-in folders), so that a font it finds is drawn exactly as before; a name it does not
// find is asked of fontconfig as the name of an installed font. A path stays a path.
struct FontChoice {
    std::string asked;       // the font name it was chosen for
    const char* asked_at = nullptr;  // that name where the canvas holds it (argv or a fixed text)
    std::string libgd_name;  // what every text call hands libgd: the name, or the file found for it
    std::string path;        // the file used; empty when none was found
    std::string search;      // the look-ups made, one line each, for the message when none was found
};

// The name that stands for the default font. libgd may find a file of that name; otherwise
// FreeMono, the face the defaults were measured with, is asked for before it.
inline constexpr const char DEFAULT_FONT_NAME[] = "Courier";
inline constexpr const char DEFAULT_FONT_FAMILY[] = "FreeMono";

// The file libgd's own lookup finds for `font_name`; false when it finds none it can read.
bool libgd_font_path(const char* font_name, double points, std::string& path);

// Chooses the font for `font_name` at `points`.
FontChoice choose_font(FontLookup& lookup, const char* font_name, double points);

// What the missing-font error adds after its first line: where the font was looked for and
// how to list the installed fonts.
std::string font_search_hint(const FontChoice& choice, const char* font_name);

}  // namespace vedad
