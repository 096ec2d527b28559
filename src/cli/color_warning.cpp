#include "cli/color_warning.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

#include "base/hex_color.hpp"

namespace vedad {

namespace {

constexpr size_t DIGITS = 6;

// The value's first word without a leading '#': the characters that are read as digits.
std::string_view digit_word(const char* value)
{
    std::string_view word = value;
    word.remove_prefix(std::min(word.find_first_not_of(" \t\n\v\f\r"), word.size()));
    word = word.substr(0, word.find_first_of(" \t\n\v\f\r"));
    if (word.starts_with('#')) word.remove_prefix(1);
    return word;
}

bool all_hex_digits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return hex_digit_value(c) >= 0; });
}

// Three hex digits stand elsewhere for six, each written twice: "f80" for "ff8800".
std::string doubled_digits(std::string_view word)
{
    if (word.size() != 3 || !all_hex_digits(word)) return "";
    std::string digits;
    for (const char c : word) digits.append(2, static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c));
    return digits;
}

std::string joined(const std::vector<const char*>& reasons)
{
    std::string text;
    for (const char* reason : reasons) text += (text.empty() ? "" : " and ") + std::string(reason);
    return text;
}

}  // namespace

std::string color_warning(const char* name, const char* value)
{
    ColorText text;
    if (value == nullptr || !read_color_text(value, text)) return "";
    const std::string_view word = digit_word(value);
    const std::string_view read = word.substr(0, DIGITS);
    std::vector<const char*> reasons;
    if (!all_hex_digits(read)) reasons.push_back("characters other than hex digits count 0");
    if (read.size() < DIGITS) reasons.push_back("missing digits count 0");
    if (word.size() > DIGITS) reasons.push_back("only the first six digits count");
    if (reasons.empty()) return "";

    Rgb rgb{};
    parse_hex_color(text.data(), rgb);
    std::array<char, 7> read_as;
    std::snprintf(read_as.data(), read_as.size(), "%02x%02x%02x", rgb.r, rgb.g, rgb.b);
    std::string warning = std::string("warning: ") + name + value + " is read as " + read_as.data() + ", since " +
                          joined(reasons);
    const std::string digits = doubled_digits(word);
    if (!digits.empty()) warning += std::string(" (write ") + name + digits + " for #" + std::string(word) + ")";
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
