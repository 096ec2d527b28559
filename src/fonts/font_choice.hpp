#pragma once

#include <string>

#include "fonts/font_lookup.hpp"

namespace vedad {

// Which font file a name means. libgd's own lookup comes first (GDFONTPATH, else its
// built-in folders), so that a font it finds is drawn exactly as libgd draws it; a name it
// does not find is asked of fontconfig as the name of an installed font. A path stays a path.
struct FontChoice {
    std::string asked;       // the font name it was chosen for
    const char* asked_at = nullptr;  // that name where the settings hold it (argv or a fixed text)
    std::string libgd_name;  // what every text call hands libgd: the name, or the file found for it
    std::string path;        // the file used; empty when none was found
    int index = 0;           // the face in that file, as fontconfig gives it
    std::string search;      // the look-ups made, one line each, for the message when none was found
};

// The name that stands for the default font. libgd may find a file of that name; otherwise
// FreeMono, the face the defaults were measured with, is asked for before it.
inline constexpr const char DEFAULT_FONT_NAME[] = "Courier";
inline constexpr const char DEFAULT_FONT_FAMILY[] = "FreeMono";

// What the font is for: the page's own font, for which DEFAULT_FONT_NAME means the packaged
// FreeMono, or a font characters the page's font lacks are drawn from.
enum class FontRole { MAIN, FALLBACK };

// The file libgd's own lookup opens for `font_name`; false when it finds none it can read.
// Ends the run when that file is no regular file, before libgd opens it.
bool libgd_font_path(const char* font_name, double points, std::string& path);

// The one way a font name becomes a file: libgd's lookup, then, for a name without '/', the
// packaged default (MAIN only) and fontconfig. Every file it gives is a regular file: the
// run ends on one that is not, naming it.
FontChoice resolve_font(FontLookup& lookup, const char* font_name, double points, FontRole role = FontRole::MAIN);

// What the missing-font error adds after its first line: where the font was looked for and
// how to list the installed fonts.
std::string font_search_hint(const FontChoice& choice, const char* font_name);

}  // namespace vedad
