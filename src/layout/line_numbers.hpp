#pragma once

#include <cstdint>

#include "base/options.hpp"
#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"

namespace vedad {

// The numbers that go into the gutter: as many lines as began at a baseline that shows, at or
// above the lowest row of text, counted from `first`.
int64_t shown_line_count(const Canvas& canvas, const TextExtent& extent);

// The gutter's width for numbers up to `last`: a cell per digit and one between them and the
// text.
int32_t gutter_width(const Canvas& canvas, int64_t last);

// Puts a gutter at the left of the page, in its background, with the number of each line the
// reader noted right-aligned in it, in the foreground dimmed towards the background, on the
// line's own baseline.
void add_line_numbers(Canvas& canvas, const Options& options, const TextExtent& extent);

}  // namespace vedad
