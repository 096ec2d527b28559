#pragma once

#include <cstdint>
#include <string_view>

#include "canvas/drawing_record.hpp"
#include "output/encode_png.hpp"

namespace vedad {

// What an SVG picture is made of: the page's recorded drawing, cut to `width` x `height`.
struct SvgPicture {
    const DrawingRecord* record = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    std::string_view title;        // the input's name, for screen readers
    std::string_view font_family;  // the page font's family, no quotes in it; empty when not known
};

// The picture as an SVG document: a rectangle for each run of equal background in a row, a
// text element for each run of equal style in a row with every character at its own x, so
// that the grid holds whatever font and renderer the viewer has.
EncodedPicture encode_svg(const SvgPicture& picture);

}  // namespace vedad
