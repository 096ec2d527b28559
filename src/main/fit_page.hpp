#pragma once

#include <cstdio>
#include <sys/types.h>

#include "base/options.hpp"
#include "canvas/canvas.hpp"
#include "layout/fit.hpp"

namespace vedad {

// An input that can be read twice: `stream` is the input itself when it is a seekable regular
// file, read again from `start`, else a copy of the rest of it in TMPDIR (default /tmp),
// closed by the caller. A copy of plain text keeps no more than `most_rows` rows, those that
// can show; the rows after them are only counted.
struct RereadableInput {
    FILE* stream = nullptr;
    bool copied = false;
    off_t start = 0;
    int64_t rows_left_out = 0;
};

// Ends the run when the copy cannot be made or written.
RereadableInput make_rereadable(FILE* input, const char* input_name, int64_t most_rows);

// The most rows of plain text that can show on a canvas of the run's largest height; -1 when
// rows do not move down and any may show.
int64_t rows_that_can_show(const Options& options, const Canvas& canvas);

// With --fit: draws the page once on a canvas one pixel wide and as tall as the limit, where
// every row that can show is measured and almost nothing is drawn, and returns the canvas
// that holds the text. The stream is left at its end.
CanvasSize measure_page(const Options& options, Canvas& canvas, FILE* input);

}  // namespace vedad
