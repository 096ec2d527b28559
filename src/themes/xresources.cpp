#include "themes/xresources.hpp"

#include <map>
#include <string>

namespace vedad {

namespace {

constexpr std::string_view BLANKS = " \t\r\f\v";

std::string_view trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(BLANKS);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(BLANKS) - first + 1);
}

std::string key_name(int slot)
{
    if (slot == THEME_FOREGROUND) return "foreground";
    if (slot == THEME_BACKGROUND) return "background";
    return "color" + std::to_string(slot);
}

// The colour a resource name sets, by its last component, or -1.
int slot_of(std::string_view name)
{
    const size_t separator = name.find_last_of(".*");
    const std::string_view key = separator == std::string_view::npos ? name : name.substr(separator + 1);
    for (int slot = 0; slot < THEME_COLOR_COUNT; ++slot) {
        if (key == key_name(slot)) return slot;
    }
    return -1;
}

std::string quoted(std::string_view text)
{
    std::string result = "\"";
    result += text;
    result += '"';
    return result;
}

}  // namespace

ThemeReading read_xresources(std::string_view text)
{
    ThemeColors colors;
    std::map<std::string, std::string, std::less<>> defined;
    int64_t line_number = 0;
    while (!text.empty()) {
        ++line_number;
        const size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.starts_with('!')) continue;

        if (line.starts_with('#')) {
            const std::string_view directive = trimmed(line.substr(1));
            if (!directive.starts_with("define") || directive.find_first_of(BLANKS) != 6)
                return theme_problem(quoted(line) + " is not read here: of the preprocessor's lines only "
                                     "#define NAME VALUE is", line_number);
            const std::string_view rest = trimmed(directive.substr(6));
            const size_t blank = rest.find_first_of(BLANKS);
            if (blank == std::string_view::npos)
                return theme_problem(quoted(line) + " defines no value", line_number);
            defined[std::string(rest.substr(0, blank))] = std::string(trimmed(rest.substr(blank)));
            continue;
        }

        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return theme_problem(quoted(line) + " is no resource: a name, ':' and a value", line_number);
        const std::string_view name = trimmed(line.substr(0, colon));
        const int slot = slot_of(name);
        if (slot < 0) continue;
        std::string_view value = trimmed(line.substr(colon + 1));
        if (const auto it = defined.find(value); it != defined.end()) value = it->second;
        const std::optional<Rgb> rgb = read_theme_color(value);
        if (!rgb)
            return theme_problem(std::string(name) + " is " + quoted(value) + ", not a colour #rrggbb", line_number);
        set_theme_color(colors, slot, *rgb);
    }
    return complete_theme(colors, key_name);
}

}  // namespace vedad
