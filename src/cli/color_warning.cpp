#include "cli/color_warning.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <utility>

#include "base/hex_color.hpp"

namespace vedad {

namespace {

bool is_other_notation(char c)
{
    return c == '#' || (c >= 'A' && c <= 'F');
}

// The six digits the value was probably meant as: its first word without a leading '#', in
// lower case, when that is six hex digits; else empty.
std::string meant_digits(const char* value)
{
    std::string_view word = value;
    word.remove_prefix(std::min(word.find_first_not_of(" \t\n\v\f\r"), word.size()));
    word = word.substr(0, word.find_first_of(" \t\n\v\f\r"));
    if (word.starts_with('#')) word.remove_prefix(1);
    if (word.size() != 6) return "";
    std::string digits;
    for (const char c : word) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return "";
        digits += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return digits;
}

}  // namespace

std::string color_warning(const char* name, const char* value)
{
    std::array<char, 7> text;
    if (value == nullptr || !read_color_text(value, text)) return "";
    bool other_notation = false;
    for (const char c : text) other_notation = other_notation || is_other_notation(c);
    if (!other_notation) return "";

    Rgb rgb{};
    parse_hex_color(text.data(), rgb);
    std::array<char, 7> read_as;
    std::snprintf(read_as.data(), read_as.size(), "%02x%02x%02x", rgb.r, rgb.g, rgb.b);
    std::string warning = std::string("warning: ") + name + value + " is read as " + read_as.data() +
                          ", since '#' and upper-case A to F count 0";
    const std::string digits = meant_digits(value);
    if (!digits.empty()) warning += std::string(" (write ") + name + digits + ")";
    return warning + "\n";
}

void warn_about_colors(const Options& options)
{
    if (options.verbose == 0) return;
    for (const auto& [name, value] : {std::pair{"--background=", options.background_text},
                                      std::pair{"--foreground=", options.foreground_text}}) {
        std::fputs(color_warning(name, value).c_str(), stderr);
    }
}

}  // namespace vedad
