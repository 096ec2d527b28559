#include "themes/theme_colors.hpp"

#include <cstddef>
#include <utility>

#include "base/hex_color.hpp"

namespace vedad {

void set_theme_color(ThemeColors& colors, int slot, Rgb rgb)
{
    colors.colors[static_cast<size_t>(slot)] = rgb;
    colors.given[static_cast<size_t>(slot)] = true;
}

int first_missing_color(const ThemeColors& colors)
{
    for (int slot = 0; slot < THEME_COLOR_COUNT; ++slot) {
        if (!colors.given[static_cast<size_t>(slot)]) return slot;
    }
    return -1;
}

Theme theme_of(const ThemeColors& colors)
{
    Theme theme;
    for (size_t i = 0; i < theme.basic.size(); ++i) theme.basic[i] = colors.colors[i];
    theme.foreground = colors.colors[THEME_FOREGROUND];
    theme.background = colors.colors[THEME_BACKGROUND];
    return theme;
}

std::optional<Rgb> read_theme_color(std::string_view text)
{
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    int digits[6];
    for (size_t i = 0; i < 6; ++i) {
        digits[i] = hex_digit_value(text[i + 1]);
        if (digits[i] < 0) return std::nullopt;
    }
    return Rgb{static_cast<uint8_t>(16 * digits[0] + digits[1]), static_cast<uint8_t>(16 * digits[2] + digits[3]),
               static_cast<uint8_t>(16 * digits[4] + digits[5])};
}

ThemeReading theme_problem(std::string problem, int64_t line)
{
    ThemeReading reading;
    reading.problem = std::move(problem);
    reading.line = line;
    return reading;
}

ThemeReading complete_theme(const ThemeColors& colors, std::string (*key_name)(int slot))
{
    const int missing = first_missing_color(colors);
    if (missing >= 0) return theme_problem("no colour for " + key_name(missing));
    ThemeReading reading;
    reading.theme = theme_of(colors);
    return reading;
}

}  // namespace vedad
