#include "base/contrast.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace vedad {

namespace {

// Each 8-bit level as linear light.
std::array<double, 256> linear_levels()
{
    std::array<double, 256> levels{};
    for (size_t i = 0; i < levels.size(); ++i) {
        const double c = static_cast<double>(i) / 255.0;
        levels[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    return levels;
}

// The colour `share` (0 to 1) of the way from `from` to `to`.
Rgb mixed(Rgb from, Rgb to, double share)
{
    const auto level = [share](uint8_t a, uint8_t b) {
        return static_cast<uint8_t>(std::lround(a + (static_cast<double>(b) - a) * share));
    };
    return Rgb{level(from.r, to.r), level(from.g, to.g), level(from.b, to.b)};
}

// The least share of the way towards `target` at which `text` reaches `ratio`, or a value
// above 1 when not even the target does. Reaching it holds from some share on, since the
// luminance moves one way and the contrast falls only until it passes the background's.
double share_to_reach(Rgb text, Rgb target, Rgb background, double ratio)
{
    if (contrast_ratio(target, background) < ratio) return 2.0;
    double low = 0.0;  // never reaches
    double high = 1.0;  // reaches
    for (int step = 0; step < 24; ++step) {
        const double middle = (low + high) / 2;
        if (contrast_ratio(mixed(text, target, middle), background) >= ratio) high = middle;
        else low = middle;
    }
    return high;
}

}  // namespace

double relative_luminance(Rgb color)
{
    static const std::array<double, 256> linear = linear_levels();
    return 0.2126 * linear[color.r] + 0.7152 * linear[color.g] + 0.0722 * linear[color.b];
}

double contrast_ratio(Rgb a, Rgb b)
{
    const double la = relative_luminance(a);
    const double lb = relative_luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb with_min_contrast(Rgb text, Rgb background, double ratio)
{
    if (!(ratio > 1.0) || contrast_ratio(text, background) >= ratio) return text;
    constexpr Rgb black{0, 0, 0};
    constexpr Rgb white{255, 255, 255};
    const double to_black = share_to_reach(text, black, background, ratio);
    const double to_white = share_to_reach(text, white, background, ratio);
    if (to_black > 1.0 && to_white > 1.0)
        return contrast_ratio(black, background) >= contrast_ratio(white, background) ? black : white;
    if (to_black <= to_white) return mixed(text, black, to_black);
    return mixed(text, white, to_white);
}

}  // namespace vedad
