#pragma once

#include <cstdint>

#include "canvas/rgb.hpp"

namespace vedad {

// The settings of a run that concern the run as a whole. Drawing settings live in Canvas.
struct Options {
    const char* output;    // file or directory from --output=, points into argv; "" when none
    int32_t html_input;
    int32_t crop;
    int32_t height;
    int32_t overwrite;
    int32_t transparent;
    int32_t width;
    int32_t silent;
    int32_t verbose;
    Rgb background;
    Rgb foreground;
};

void set_default_options(Options& options);

}  // namespace vedad
