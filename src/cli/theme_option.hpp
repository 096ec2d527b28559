#pragma once

#include "base/options.hpp"

namespace vedad {

// --theme=list: writes the names of the built-in themes on standard output, one a line.
void print_theme_list();

// The --min-contrast= value: the whole value as a number, or not a number (which the checks
// refuse) when it is none.
double read_contrast_ratio(const char* value);

// Applies the theme of --theme=, when given: its basic colours for terminal output, and its
// text and background colours where --foreground= and --background= do not set them. A theme
// file that cannot be read ends the run.
void apply_theme(Options& options);

}  // namespace vedad
