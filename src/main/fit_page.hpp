#pragma once

#include <cstdio>
#include <sys/types.h>

#include "base/options.hpp"
#include "canvas/canvas.hpp"
#include "layout/fit.hpp"

namespace vedad {

// A stream that can be read again from where it stands now: `input` itself when it is a
// seekable regular file, with `start` its offset, else a temporary copy of the rest of it
// (standard input, a pipe), which replaces it, starts at 0 and is closed by the caller. Ends
// the run when the copy cannot be made.
FILE* make_rereadable(FILE* input, const char* input_name, bool& copied, off_t& start);

// With --fit: draws the page once on a canvas one pixel wide and as tall as the limit, where
// every row that can show is measured and almost nothing is drawn, and returns the canvas
// that holds the text. The stream is left at its end.
CanvasSize measure_page(const Options& options, Canvas& canvas, FILE* input);

}  // namespace vedad
