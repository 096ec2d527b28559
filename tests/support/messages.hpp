#pragma once

#include <string>

namespace vedad_test {

// Messages of the program that several tests expect, written once.

inline const std::string NOT_HTML_WARNING = "vedad warning: file does not look like HTML, parsing as text\n";
inline const std::string TOO_TALL_WARNING = "warning: image output dimensions too small for entire input text\n";
inline const std::string EMPTY_CROP_WARNING = "warning: will not crop image, because it looks empty\n";
inline const std::string MISSING_INPUT_ERROR = "error: couldn't open file: No such file or directory\n";

// What a warning about cut text ends with, unless --verbose.
inline const std::string CUT_TEXT_ADVICE = "; --fit or a larger --size= shows it";

// What a run without --verbose says after a picture whose text reached `right` of the `shown`
// rows past the right edge and `below` more rows past the bottom: a line for each edge.
inline std::string cut_text_warnings(int right, int shown, int below)
{
    std::string text;
    if (right > 0) {
        text += "warning: text cut at the right edge (" + std::to_string(right) + " of " + std::to_string(shown) +
                " rows)" + CUT_TEXT_ADVICE + "\n";
    }
    if (below > 0) text += "warning: text cut at the bottom (" + std::to_string(below) + " more rows)" + CUT_TEXT_ADVICE + "\n";
    return text;
}

// The lines of `verbose_text` that tell of cut text, as a run without --verbose prints them.
inline std::string cut_text_warnings_of(const std::string& verbose_text)
{
    std::string text;
    for (size_t start = 0, end; (end = verbose_text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = verbose_text.substr(start, end - start);
        if (line.starts_with("warning: text cut at ")) text += line + CUT_TEXT_ADVICE + "\n";
    }
    return text;
}

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
