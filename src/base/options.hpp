#pragma once

#include <cstdint>

#include "base/rgb.hpp"

namespace vedad {

// The settings of a run that concern the run as a whole. Drawing settings live in Canvas.
// The defaults describe a plain run: plain text, cropped, 640 by 480, white on black.
struct Options {
    const char* output = "";  // file or directory from --output=, points into argv; "" when none
    int32_t html_input = 0;
    int32_t ansi_input = 0;  // --html-input and --ansi-input: the last one given counts
    int32_t crop = 1;
    int32_t height = 480;
    int32_t overwrite = 0;
    int32_t transparent = 0;
    int32_t width = 640;
    int32_t silent = 0;
    int32_t verbose = 0;
    Rgb background = {0, 0, 0};
    Rgb foreground = {255, 255, 255};
    const char* background_text = nullptr;  // the --background= value as given, points into argv; null when none
    const char* foreground_text = nullptr;  // the --foreground= value likewise
    int32_t size_given = 0;  // --size=, --width= or --height= was given
    int32_t fit = 0;         // the canvas is as large as the text needs, up to the size
    int32_t margin = 0;      // pixels of background around the picture
    int32_t scale = 1;       // multiplies the point size, the canvas size and the margin
};

// The largest canvas side that --fit makes when no size is given: libgd's practical ceiling.
inline constexpr int32_t FIT_LIMIT = 32767;
// The largest --scale= accepted.
inline constexpr int32_t MAX_SCALE = 8;

// Puts every setting back to its default.
void set_default_options(Options& options);

}  // namespace vedad
