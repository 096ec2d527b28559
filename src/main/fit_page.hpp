#pragma once

#include <cstdint>
#include <cstdio>

#include "canvas/canvas.hpp"
#include "base/options.hpp"

namespace vedad {

struct CanvasSize {
    int32_t width;
    int32_t height;
};

// A stream that can be read again from its start: `input` itself when it is a regular file,
// else a temporary copy of all of it (standard input, a pipe), which replaces it and is closed
// by the caller. Ends the run when the copy cannot be made.
FILE* make_rereadable(FILE* input, const char* input_name, bool& copied);

// With --fit: draws the page once on a canvas one pixel wide and as tall as the limit, where
// every row that can show is measured and almost nothing is drawn, and returns the canvas
// that holds the text: as wide as the widest row and down to the lowest row's descenders,
// held to the limit (the configured size). The stream is left at its end.
CanvasSize fitted_canvas_size(const Options& options, Canvas& canvas, FILE* input);

}  // namespace vedad
