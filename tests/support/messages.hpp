#pragma once

#include <string>

namespace vedad_test {

// Messages of the program that several tests expect, written once.

inline const std::string NOT_HTML_WARNING = "vedad warning: file does not look like HTML, parsing as text\n";
inline const std::string TOO_TALL_WARNING = "warning: image output dimensions too small for entire input text\n";
inline const std::string EMPTY_CROP_WARNING = "warning: will not crop image, because it looks empty\n";
inline const std::string MISSING_INPUT_ERROR = "error: couldn't open file: No such file or directory\n";

// "vedad VERSION" and a newline, the first line of the help and version texts, as a death-test
// pattern (its dots escaped).
inline const std::string VERSION_LINE_PATTERN = [] {
    std::string pattern = "vedad ";
    for (const char c : std::string(VEDAD_VERSION)) pattern += c == '.' ? std::string("\\.") : std::string(1, c);
    return pattern + "\n";
}();

inline const std::string FONT_HINT =
    "\nIf the font was not found, try specifying the exact path to the font you want\n"
    "to use with --font=PATH.  You can also set the font path with the environment\n"
    "variable GDFONTPATH.\n\nCurrent font search path is:\n\n"
    "/usr/local/share/fonts/TTF:/usr/local/share/fonts/Type1:/usr/local/share/fonts\n";

// What the run says when the cell set-up cannot measure with `font`; `problem` is libgd's text.
inline std::string metrics_error(const std::string& font, const std::string& problem)
{
    return "error: while getting metrics for font '" + font + "': " + problem + "\n" + FONT_HINT;
}

}  // namespace vedad_test
