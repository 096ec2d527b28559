#include "cli/refuse_option.hpp"

#include <array>
#include <cstring>

#include "base/fail.hpp"
#include "cli/help_text.hpp"

namespace vedad {

namespace {

struct ValueOption {
    const char* name;     // with its "=", or a short option, whose value is the next argument
    const char* expects;  // what the value is
    const char* example;  // a value that works
};

constexpr std::array VALUE_OPTIONS = {
    ValueOption{"--background=", "a colour of six lower-case hex digits RRGGBB", "ffff00"},
    ValueOption{"--bold-font=", "a font file or name", "/usr/share/fonts/truetype/freefont/FreeMonoBold.ttf"},
    ValueOption{"--bold-italic-font=", "a font file or name", "/usr/share/fonts/truetype/freefont/FreeMonoBoldOblique.ttf"},
    ValueOption{"--charspacing=", "a number of pixels", "1"},
    ValueOption{"--columns=", "a whole number of cells from 1", "80"},
    ValueOption{"--execute=", "a command to run", "'ls --color=auto'"},
    ValueOption{"--fallback-font=", "font names or files separated by commas", "FreeSerif"},
    ValueOption{"--font=", "a font file or name", "/usr/share/fonts/truetype/freefont/FreeMono.ttf"},
    ValueOption{"--font-size=", "a fraction of 280 points", "0.05"},
    ValueOption{"--foreground=", "a colour of six lower-case hex digits RRGGBB", "0b5394"},
    ValueOption{"--format=", "argb32, rgb24 or a8", "rgb24"},
    ValueOption{"--height=", "a number of pixels", "600"},
    ValueOption{"--italic-font=", "a font file or name", "/usr/share/fonts/truetype/freefont/FreeMonoOblique.ttf"},
    ValueOption{"--jobs=", "a whole number of threads from 0 to 1024", "4"},
    ValueOption{"--line-numbers=", "a whole number to count from", "10"},
    ValueOption{"--linespacing=", "a number of pixels", "4"},
    ValueOption{"--list-fonts=", "the word all", "all"},
    ValueOption{"--margin=", "a number of pixels from 0", "8"},
    ValueOption{"--max-pixels=", "a number of pixels from 1", "50000000"},
    ValueOption{"--min-contrast=", "a contrast ratio from 1 to 21", "4.5"},
    ValueOption{"--output=", "a file or directory name", "pictures"},
    ValueOption{"--padding=", "pixels from 0 to 1000, or two as VERTICAL,HORIZONTAL", "16,20"},
    ValueOption{"--radius=", "a number of pixels from 0 to 1000", "8"},
    ValueOption{"--rows=", "a whole number of rows from 1 to 65535", "24"},
    ValueOption{"--scale=", "a whole number from 1 to 8", "2"},
    ValueOption{"--shadow=", "a blur in pixels from 0 to 1000, and an offset after a comma", "20,8"},
    ValueOption{"--size=", "WIDTHxHEIGHT", "800x600"},
    ValueOption{"--split=", "a whole number of rows from 1", "100"},
    ValueOption{"--tab=", "a number of spaces", "4"},
    ValueOption{"--theme=", "a built-in theme's name or a theme file", "solarized-dark"},
    ValueOption{"--title=", "a text", "build.log"},
    ValueOption{"--timeout=", "a whole number of seconds from 1", "30"},
    ValueOption{"--type=", "png, svg, webp or gif", "svg"},
    ValueOption{"--width=", "a number of pixels", "800"},
    ValueOption{"--window=", "mac, plain or none", "plain"},
    ValueOption{"-o", "a file or directory name", "pictures"},
    // How a recording plays (--asciicast).
    ValueOption{"--speed=", "a speed above 0", "2"},
    ValueOption{"--idle-limit=", "a number of seconds from 0", "1.5"},
    ValueOption{"--fps-cap=", "a whole number of frames a second from 1 to 100", "30"},
    ValueOption{"--last-frame=", "a number of seconds from 0", "3"},
    ValueOption{"--loop=", "a whole number of times from 0", "0"},
    ValueOption{"--at=", "a number of seconds from 0", "12.5"},
};

bool is_short(const ValueOption& option)
{
    return option.name[1] != '-';
}

// The value option that `argument` names: its name alone, without the "=", or its name and a
// value. Only the options read by a scan pattern, and --list-fonts=, can get here with a value.
const ValueOption* named_value_option(const char* argument)
{
    for (const ValueOption& option : VALUE_OPTIONS) {
        if (is_short(option)) {
            if (std::strcmp(argument, option.name) == 0) return &option;
            continue;
        }
        const size_t length = std::strlen(option.name);
        const bool bare = std::strncmp(argument, option.name, length - 1) == 0 && argument[length - 1] == '\0';
        if (bare || std::strncmp(argument, option.name, length) == 0) return &option;
    }
    return nullptr;
}

}  // namespace

void refuse_option(const char* argument)
{
    if (const ValueOption* option = named_value_option(argument)) {
        fail_with_hint(print_usage, "%s expects %s, as in %s%s%s", option->name, option->expects, option->name,
                       is_short(*option) ? " " : "", option->example);
    }
    fail_with_hint(print_usage, "unknown option %s", argument);
}

}  // namespace vedad
