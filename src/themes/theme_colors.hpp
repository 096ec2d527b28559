#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/theme.hpp"

namespace vedad {

// The 18 colours a theme file must give, by number: the basic colours 0 to 15, then the text
// colour and the background colour.
inline constexpr int THEME_FOREGROUND = 16;
inline constexpr int THEME_BACKGROUND = 17;
inline constexpr int THEME_COLOR_COUNT = 18;

// The colours a theme file has given so far.
struct ThemeColors {
    std::array<Rgb, THEME_COLOR_COUNT> colors{};
    std::array<bool, THEME_COLOR_COUNT> given{};
};

// Sets colour `slot` (0 to 17); a later colour for the same slot replaces an earlier one.
void set_theme_color(ThemeColors& colors, int slot, Rgb rgb);

// The first colour not given yet, or -1 when all 18 are.
int first_missing_color(const ThemeColors& colors);

Theme theme_of(const ThemeColors& colors);

// A theme file's colour: '#' and six hex digits of either case, nothing else.
std::optional<Rgb> read_theme_color(std::string_view text);

// What reading a theme file gives: its theme, or what is wrong and on which line.
struct ThemeReading {
    Theme theme;
    std::string problem;  // empty when the theme was read
    int64_t line = 0;     // the line the problem is on; 0 when it belongs to none
};

ThemeReading theme_problem(std::string problem, int64_t line = 0);

// The theme when all 18 colours are given, else the problem that names the first one missing
// by the name `key_name` gives its slot.
ThemeReading complete_theme(const ThemeColors& colors, std::string (*key_name)(int slot));

}  // namespace vedad
