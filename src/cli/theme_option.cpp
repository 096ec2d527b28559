#include "cli/theme_option.hpp"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>

#include "base/fail.hpp"
#include "themes/builtin_themes.hpp"
#include "themes/theme_file.hpp"

namespace vedad {

void print_theme_list()
{
    print_theme_names(stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) fail("could not write the list of themes");
}

double read_contrast_ratio(const char* value)
{
    const char* end = value + std::strlen(value);
    double ratio = 0.0;
    const auto [stop, error] = std::from_chars(value, end, ratio);
    if (error != std::errc{} || stop != end) return std::numeric_limits<double>::quiet_NaN();
    return ratio;
}

void apply_theme(Options& options)
{
    if (options.theme == nullptr) return;
    const Theme theme = load_theme(options.theme);
    options.basic_colors = theme.basic;
    if (options.foreground_text == nullptr) options.foreground = theme.foreground;
    if (options.background_text == nullptr) options.background = theme.background;
}

}  // namespace vedad
