#pragma once

#include <cstdint>
#include <string>

#include "glyphs/face_cache.hpp"

namespace vedad {

// The outline of glyph `glyph_index` of `face` as SVG path data, in the face's units with y
// up, unhinted; false when the glyph has no outline (a bitmap face's, or one FreeType cannot
// load). A glyph with an empty outline, such as a space's, gives true and no data.
bool glyph_outline_path(Face& face, FT_UInt glyph_index, std::string& path);

}  // namespace vedad
