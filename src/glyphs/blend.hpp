#pragma once

#include <gd.h>

#include "glyphs/glyph.hpp"

namespace vedad {

// Blends a glyph's picture into a true-colour image with its top-left pixel at (left, top),
// as libgd's text call does: the colour's own alpha bounds the coverage, the clipping
// rectangle bounds the pixels, and with alpha blending on a pixel that is not fully
// transparent is blended, any other replaced. A colour glyph brings its own colours and
// coverage; `color` then gives only its alpha. The glyph lies inside the image's int range.
void blend_glyph(gdImagePtr image, int color, const GlyphImage& glyph, int left, int top);

}  // namespace vedad
