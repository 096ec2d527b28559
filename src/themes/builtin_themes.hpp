#pragma once

#include <cstdio>
#include <span>
#include <string_view>

#include "base/theme.hpp"

namespace vedad {

struct NamedTheme {
    const char* name;
    Theme theme;
};

// The themes the program knows by name, xterm's (the default) first.
std::span<const NamedTheme> builtin_themes();

// The built-in theme of that name, or null.
const Theme* builtin_theme(std::string_view name);

// Writes the names of the built-in themes, one a line.
void print_theme_names(FILE* stream);

}  // namespace vedad
