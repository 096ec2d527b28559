#include "base/contrast.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

using namespace vedad;

namespace {

// The hue, in degrees, of a colour that is no grey.
double hue_of(Rgb color)
{
    const double r = color.r, g = color.g, b = color.b;
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double range = high - low;
    double hue = 0.0;
    if (high == r) hue = std::fmod((g - b) / range + 6.0, 6.0);
    else if (high == g) hue = (b - r) / range + 2.0;
    else hue = (r - g) / range + 4.0;
    return hue * 60.0;
}

}  // namespace

TEST(Contrast, RatiosAsTheAccessibilityGuidelinesMeasureThem)
{
    EXPECT_DOUBLE_EQ(contrast_ratio(rgb_of_hex(0x000000), rgb_of_hex(0xffffff)), 21.0);
    EXPECT_DOUBLE_EQ(contrast_ratio(rgb_of_hex(0xffffff), rgb_of_hex(0x000000)), 21.0);
    EXPECT_DOUBLE_EQ(contrast_ratio(rgb_of_hex(0x3a7bd5), rgb_of_hex(0x3a7bd5)), 1.0);
    EXPECT_NEAR(contrast_ratio(rgb_of_hex(0x767676), rgb_of_hex(0xffffff)), 4.54, 0.01);
    EXPECT_NEAR(contrast_ratio(rgb_of_hex(0x777777), rgb_of_hex(0xffffff)), 4.48, 0.01);
    EXPECT_NEAR(relative_luminance(rgb_of_hex(0xff0000)), 0.2126, 1e-9);
    EXPECT_NEAR(relative_luminance(rgb_of_hex(0x00ff00)), 0.7152, 1e-9);
}

TEST(Contrast, TextIsMovedTowardsBlackOrWhiteJustFarEnoughKeepingItsHue)
{
    const struct {
        uint32_t text;
        uint32_t background;
        double ratio;
        int direction;  // -1 darker, 0 unchanged, 1 lighter
    } cases[] = {
        {0xffff00, 0xffffff, 4.5, -1},  // bright yellow on white
        {0x00ffff, 0xffffff, 4.5, -1},
        {0x00cd00, 0xffffff, 4.5, -1},
        {0x5c5cff, 0xffffff, 7.0, -1},
        {0x0000ee, 0x000000, 4.5, 1},   // blue on black
        {0x282a36, 0x282a36, 3.0, 1},   // the background's own colour, on a dark page
        {0xfdf6e3, 0xfdf6e3, 3.0, -1},  // and on a light one
        {0x24292e, 0xffffff, 4.5, 0},   // enough already
        {0xffff00, 0xffffff, 1.0, 0},   // 1 asks nothing
        {0xcd0000, 0x000000, 1.5, 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << test.text << " on " << test.background << " at "
                                        << test.ratio);
        const Rgb text = rgb_of_hex(test.text);
        const Rgb background = rgb_of_hex(test.background);
        const Rgb moved = with_min_contrast(text, background, test.ratio);
        if (test.direction == 0) {
            EXPECT_EQ(moved, text);
            continue;
        }
        EXPECT_GE(contrast_ratio(moved, background), test.ratio);
        // Just far enough: 3 levels less of the move would not reach the ratio.
        EXPECT_LT(contrast_ratio(moved, background), test.ratio * 1.1);
        const double before = relative_luminance(text);
        const double after = relative_luminance(moved);
        EXPECT_TRUE(test.direction < 0 ? after < before : after > before) << before << " " << after;
        if (std::max({text.r, text.g, text.b}) != std::min({text.r, text.g, text.b}) &&
            std::max({moved.r, moved.g, moved.b}) - std::min({moved.r, moved.g, moved.b}) > 20) {
            EXPECT_NEAR(hue_of(moved), hue_of(text), 4.0);
        }
    }
}

TEST(Contrast, WhereNeitherReachesTheRatioTheFurtherOfBlackAndWhite)
{
    // A middle grey has at most about 6:1 against either: black wins from about 767676 up.
    EXPECT_EQ(with_min_contrast(rgb_of_hex(0x808080), rgb_of_hex(0x888888), 21.0), rgb_of_hex(0x000000));
    EXPECT_EQ(with_min_contrast(rgb_of_hex(0x808080), rgb_of_hex(0x606060), 21.0), rgb_of_hex(0xffffff));
    EXPECT_EQ(with_min_contrast(rgb_of_hex(0x123456), rgb_of_hex(0xffffff), 21.0), rgb_of_hex(0x000000));
}
