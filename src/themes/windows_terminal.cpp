#include "themes/windows_terminal.hpp"

#include <array>
#include <string>

#include <nlohmann/json.hpp>

namespace vedad {

namespace {

constexpr std::array<const char*, THEME_COLOR_COUNT> KEYS = {
    "black",       "red",       "green",       "yellow",       "blue",       "purple",       "cyan",
    "white",       "brightBlack", "brightRed", "brightGreen", "brightYellow", "brightBlue", "brightPurple",
    "brightCyan",  "brightWhite", "foreground", "background",
};

// A scheme is one flat object; anything nested this deep is no scheme, and is not read on.
constexpr int DEEPEST = 8;

struct TooDeep {};

std::string key_name(int slot)
{
    return KEYS[static_cast<size_t>(slot)];
}

// The line of the byte at `offset` (counted from 1, as the JSON reader counts it).
int64_t line_at(std::string_view text, size_t offset)
{
    int64_t line = 1;
    for (size_t i = 0; i + 1 < offset && i < text.size(); ++i) line += text[i] == '\n' ? 1 : 0;
    return line;
}

// A value as JSON writes it, cut short when long.
std::string shown(const nlohmann::json& value)
{
    constexpr size_t LONGEST = 40;
    std::string text = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (text.size() > LONGEST) {
        size_t cut = LONGEST;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80) --cut;  // not inside a character
        text = text.substr(0, cut) + "...";
    }
    return text;
}

// What the JSON reader says is wrong, without its own prefix and position.
std::string parse_problem(const char* what)
{
    std::string text = what;
    const size_t colon = text.find(": ", text.find("column"));
    return colon == std::string::npos ? text : text.substr(colon + 2);
}

// What the JSON reader says, without its "[json.exception...] " prefix.
std::string without_prefix(const char* what)
{
    const std::string_view text = what;
    const size_t end = text.starts_with('[') ? text.find("] ") : std::string_view::npos;
    return std::string(end == std::string_view::npos ? text : text.substr(end + 2));
}

}  // namespace

ThemeReading read_windows_terminal_scheme(std::string_view text)
{
    using nlohmann::json;
    json scheme;
    try {
        const json::parser_callback_t depth_check = [](int depth, json::parse_event_t, json&) {
            if (depth > DEEPEST) throw TooDeep{};
            return true;
        };
        scheme = json::parse(text.begin(), text.end(), depth_check, true, true);
    } catch (const json::parse_error& error) {
        return theme_problem("not JSON: " + parse_problem(error.what()), line_at(text, error.byte));
    } catch (const json::exception& error) {
        // A number too large for a double, say: the reader tells it with no position.
        return theme_problem("not JSON: " + without_prefix(error.what()));
    } catch (const TooDeep&) {
        return theme_problem("not a colour scheme: its values are nested more than " + std::to_string(DEEPEST) +
                             " deep");
    }
    if (!scheme.is_object()) return theme_problem("not a colour scheme: a JSON object of colours");

    ThemeColors colors;
    for (int slot = 0; slot < THEME_COLOR_COUNT; ++slot) {
        const auto member = scheme.find(KEYS[static_cast<size_t>(slot)]);
        if (member == scheme.end()) continue;
        std::optional<Rgb> rgb;
        if (member->is_string()) rgb = read_theme_color(member->get_ref<const std::string&>());
        if (!rgb)
            return theme_problem(std::string("\"") + KEYS[static_cast<size_t>(slot)] + "\" is " + shown(*member) +
                                 ", not a colour \"#rrggbb\"");
        set_theme_color(colors, slot, *rgb);
    }
    return complete_theme(colors, key_name);
}

}  // namespace vedad
