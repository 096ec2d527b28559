#pragma once

#include "base/rgb.hpp"

namespace vedad {

// The relative luminance of a colour, 0 (black) to 1 (white), as the web's accessibility
// guidelines define it.
double relative_luminance(Rgb color);

// The contrast of two colours, the lighter's luminance plus 0.05 over the darker's plus 0.05:
// 1 (the same luminance) to 21 (black and white).
double contrast_ratio(Rgb a, Rgb b);

// `text` when its contrast against `background` is at least `ratio`. Otherwise `text` mixed
// with black or with white, its hue kept, just far enough to reach `ratio`: with whichever of
// the two reaches it by the smaller mix; when neither can, black or white itself, whichever
// has the more contrast.
Rgb with_min_contrast(Rgb text, Rgb background, double ratio);

}  // namespace vedad
