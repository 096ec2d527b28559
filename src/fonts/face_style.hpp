#pragma once

#include <cstddef>
#include <cstdint>

namespace vedad {

// The faces of a font family that text is drawn in: bits that combine, so that bold and
// italic together are the bold-italic face.
enum FaceStyle : uint8_t {
    STYLE_REGULAR = 0,
    STYLE_BOLD = 1,
    STYLE_ITALIC = 2,
    STYLE_BOLD_ITALIC = STYLE_BOLD | STYLE_ITALIC,
};

inline constexpr size_t FACE_STYLES = 4;

inline FaceStyle with_style(FaceStyle style, FaceStyle added)
{
    return static_cast<FaceStyle>(style | added);
}

}  // namespace vedad
