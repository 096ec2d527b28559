#pragma once

#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"
#include "base/options.hpp"

namespace vedad {

// After a page whose text reached past the canvas, unless --silent: how many of the rows that
// show were cut at the right edge, and how many rows lie past the bottom, with a word on how
// to show them (left out under --verbose, which says more). Counts the page's last row into
// the extent first.
void warn_about_cut_text(const Options& options, const Canvas& canvas, TextExtent& extent);

}  // namespace vedad
