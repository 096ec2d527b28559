#include "base/emoji_sequence.hpp"

namespace vedad {

namespace {

constexpr uint32_t ZERO_WIDTH_JOINER = 0x200d;
constexpr uint32_t VARIATION_SELECTOR_16 = 0xfe0f;
constexpr uint32_t COMBINING_KEYCAP = 0x20e3;

bool is_regional_indicator(uint32_t point)
{
    return point >= 0x1f1e6 && point <= 0x1f1ff;
}

bool is_emoji_modifier(uint32_t point)
{
    return point >= 0x1f3fb && point <= 0x1f3ff;
}

bool is_tag(uint32_t point)
{
    return point >= 0xe0020 && point <= 0xe007f;
}

}  // namespace

bool is_emoji_sequence(const uint32_t* points, size_t count)
{
    if (count < 2) return false;
    if (is_regional_indicator(points[0]) && is_regional_indicator(points[1])) return true;
    for (size_t i = 1; i < count; ++i) {
        const uint32_t point = points[i];
        if (point == VARIATION_SELECTOR_16 || point == COMBINING_KEYCAP || is_emoji_modifier(point) || is_tag(point)) {
            return true;
        }
        // A joiner at the end joins nothing yet.
        if (point == ZERO_WIDTH_JOINER && i + 1 < count) return true;
    }
    return false;
}

}  // namespace vedad
