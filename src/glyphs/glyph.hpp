#pragma once

#include <cstdint>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace vedad {

// What the glyph engine keeps of one glyph, and the resolutions it is kept at.

// libgd lays text out at 300 dots per inch and draws it at 96.
inline constexpr int LAYOUT_RESOLUTION = 300;
inline constexpr int DRAWING_RESOLUTION = 96;
inline constexpr int POINTS_PER_INCH = 72;

// The width of an em in pixels, as the text is drawn.
inline double em_in_pixels(double points)
{
    return points * DRAWING_RESOLUTION / static_cast<double>(POINTS_PER_INCH);
}

// The largest point size handed to libgd. FreeType refuses sizes far below it, so libgd
// reports them; beyond it libgd's conversion to 26.6 fixed point would overflow, and a NaN
// or an infinity would reach FreeType as some arbitrary size.
inline constexpr double MAX_POINT_SIZE = 1e6;

// What libgd's layout reads of a glyph loaded at the layout resolution, in 26.6 units.
struct GlyphLayout {
    FT_Pos bearing_x = 0;
    FT_Pos bearing_y = 0;
    FT_Pos height = 0;
    FT_Pos advance = 0;
};

// A glyph rendered at the drawing resolution: its coverage in libgd's 128 levels (0 none,
// 127 full) row by row, or for a colour glyph its pixels in libgd's colours, and where its
// top-left pixel lies from the pen.
struct GlyphImage {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t rows = 0;
    std::vector<uint8_t> levels;
    std::vector<int> colors;  // a colour glyph's, instead of levels
};

enum class Loaded : uint8_t { NOT_YET, YES, FAILED };

struct CachedGlyph {
    Loaded layout_loaded = Loaded::NOT_YET;
    Loaded image_loaded = Loaded::NOT_YET;
    GlyphLayout layout;
    GlyphImage image;
};

// The rows a line of text inks: `height` rows, `descent` of them below the baseline. A height
// of 0 or less stands for the em of the point size, with the face's own share below the
// baseline.
struct ColorBand {
    int32_t height = 0;
    int32_t descent = 0;

    bool operator==(const ColorBand&) const = default;
};

// How strike pixels become image pixels: a strike point `y` above the strike's baseline lands
// `factor` × (y − descender) − descent rows above the text's baseline.
struct ColorScale {
    double factor = 0.0;
    double descender = 0.0;  // the strike's, in its pixels (0 or below)
    double descent = 0.0;
};

}  // namespace vedad
