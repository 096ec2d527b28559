#pragma once

#include "base/options.hpp"
#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"

namespace vedad {

// Makes the drawn page the picture: says how much text the canvas cut and cuts the image down
// to the text unless --no-crop.
void cut_page(const Options& options, Canvas& canvas, TextExtent& extent);

// Puts the page in its frame, every size times the options' scale: the padding, the title
// bar with `title` (the --title= text wins), the rounded corners, the shadow and the margin.
void dress_page(const Options& options, Canvas& canvas, const char* title);

// cut_page, then dress_page.
void frame_picture(const Options& options, Canvas& canvas, TextExtent& extent, const char* title = "");

}  // namespace vedad
