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

// What --verbose says of the default font among the test fonts, on the first page of a run.
inline const std::string DEFAULT_FONT_LINE = "font: " VEDAD_TEST_FONT_DIR "/Courier.ttf\n";

// The first line of what the run says when the cell set-up cannot measure with `font`;
// `problem` is libgd's text. Where the font was looked for follows it.
inline std::string metrics_error(const std::string& font, const std::string& problem)
{
    return "error: while getting metrics for font '" + font + "': " + problem + "\n";
}

// A message up to and including its first line feed.
inline std::string first_line(const std::string& text)
{
    const size_t end = text.find('\n');
    return end == std::string::npos ? text : text.substr(0, end + 1);
}

}  // namespace vedad_test
