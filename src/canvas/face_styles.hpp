#pragma once

#include "canvas/canvas.hpp"
#include "fonts/face_style.hpp"

namespace vedad {

// The faces text is drawn in: the main font's, or its bold, italic or bold-italic face, each
// found when first used (see styled_font.hpp).

// The style every text of the page has: bold with --bold.
FaceStyle canvas_page_style(const Canvas& canvas);

// Draws the texts that follow in `style` with the page's style added, the face of that style
// found first when it has not been.
void canvas_set_style(Canvas& canvas, FaceStyle style);

// Draws the texts that follow in `style` again, a style already drawn in on this page (the
// page's style included).
void canvas_return_to_style(Canvas& canvas, FaceStyle style);

// Forgets the faces found for another font, and finds those the settings name (--bold-font=
// and the others) at once: a face that is not found ends the run before anything is drawn.
void canvas_prepare_styles(Canvas& canvas);

}  // namespace vedad
