#pragma once

#include "base/options.hpp"
#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"
#include "layout/fit.hpp"

namespace vedad {

// Makes the drawn page the picture: says how much text the canvas cut and cuts the image down
// to the text unless --no-crop. Returns the picture's size; `copy` false leaves the image
// whole, for a picture written straight from its top-left part.
CanvasSize cut_page(const Options& options, Canvas& canvas, TextExtent& extent, bool copy = true);

// Whether the page gets anything around it or is drawn again (scale, line numbers, padding,
// a title bar, corners, a shadow, a margin): the cut page is then a picture of its own.
bool page_is_dressed(const Options& options);

// Puts the page in its frame, every size times the options' scale: the padding, the title
// bar with `title` (the --title= text wins), the rounded corners, the shadow and the margin.
void dress_page(const Options& options, Canvas& canvas, const char* title);

// cut_page, then dress_page.
void frame_picture(const Options& options, Canvas& canvas, TextExtent& extent, const char* title = "");

}  // namespace vedad
