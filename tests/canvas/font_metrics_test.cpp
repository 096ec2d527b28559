#include "canvas/font_metrics.hpp"

#include <algorithm>
#include <cstdint>
#include <string>

#include "canvas/draw.hpp"
#include "support/test_support.hpp"

using namespace vedad;
using namespace vedad_test;

namespace {

constexpr double DEFAULT_POINTS = 7.0;

Canvas fresh_canvas()
{
    Canvas canvas;
    canvas_init(canvas);
    return canvas;
}

}  // namespace

TEST(PrepareFont, OnlyTheExactNameDefaultBecomesCourier)
{
    struct Case {
        const char* given;
        const char* prepared;
    };
    const Case cases[] = {
        {"default", "Courier"},
        {"Default", "Default"},
        {"DEFAULT", "DEFAULT"},
        {"default ", "default "},
        {"FreeSans", "FreeSans"},
        {"/fonts/default", "/fonts/default"},
    };
    for (const Case& c : cases) {
        Canvas canvas = fresh_canvas();
        canvas.settings.font_name = c.given;
        canvas_prepare_font(canvas);
        EXPECT_STREQ(canvas.settings.font_name, c.prepared) << c.given;
        canvas_prepare_font(canvas);  // a later page finds the name settled
        EXPECT_STREQ(canvas.settings.font_name, c.prepared) << c.given;
    }
}

TEST(PrepareFont, DefaultsAskForCourierAtSevenPoints)
{
    Canvas canvas = fresh_canvas();
    canvas_prepare_font(canvas);
    EXPECT_STREQ(canvas.settings.font_name, "Courier");
    EXPECT_DOUBLE_EQ(canvas_point_size(canvas), DEFAULT_POINTS);
    EXPECT_DOUBLE_EQ(canvas.settings.font_size, 0.025);  // preparing leaves the size alone
}

TEST(MeasureGlyph, GivesTheBoundingBoxOfTheWholeText)
{
    Canvas canvas = fresh_canvas();
    canvas_prepare_font(canvas);
    for (const std::string text : {"W", "i", "_", "@", " ", "a b\tc", ""}) {
        const TextSize expected = measure_string("Courier", DEFAULT_POINTS, text);
        const GlyphMetrics metrics = canvas_measure_glyph(canvas, text.c_str());
        EXPECT_EQ(metrics.width, expected.width) << '"' << text << '"';
        EXPECT_EQ(metrics.height, expected.height) << '"' << text << '"';
        EXPECT_EQ(metrics.descent, expected.descent) << '"' << text << '"';
    }
}

TEST(MeasureText, TakesEachMaximumFromAnyCharacter)
{
    Canvas canvas = fresh_canvas();
    canvas_prepare_font(canvas);
    const GlyphMetrics none = canvas_measure_text(canvas, "");
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.height, 0);
    EXPECT_EQ(none.descent, 0);

    // A flat wide glyph and a tall narrow one: the maxima come from different characters,
    // and neither is the size of the two measured together.
    const TextSize flat = measure_string("Courier", DEFAULT_POINTS, "_");
    const TextSize tall = measure_string("Courier", DEFAULT_POINTS, "|");
    ASSERT_GT(flat.width, tall.width);
    ASSERT_GT(tall.height, flat.height);
    const GlyphMetrics both = canvas_measure_text(canvas, "_|");
    EXPECT_EQ(both.width, flat.width);
    EXPECT_EQ(both.height, tall.height);

    // A space alone has no height; it never lowers a maximum. Glyphs that stay above the
    // baseline give no descent below 0.
    const GlyphMetrics space = canvas_measure_text(canvas, " ");
    EXPECT_EQ(space.height, 0);
    ASSERT_LT(measure_string("Courier", DEFAULT_POINTS, "'").descent, 0);
    EXPECT_EQ(canvas_measure_text(canvas, "'").descent, 0);
    EXPECT_EQ(canvas_measure_text(canvas, "'g").descent, measure_string("Courier", DEFAULT_POINTS, "g").descent);
}

TEST(SetupCell, AddsTheSpacingsToTheLargestGlyphAndPutsThePenOnTheFirstBaseline)
{
    struct Case {
        const char* font;
        double font_size;
        int32_t char_spacing;
        int32_t line_spacing;
    };
    const Case cases[] = {
        {"default", 0.025, 0, 2},      // the defaults: Courier at 7 points
        {"default", 0.025, 3, 2},
        {"default", 0.025, -2, -1},
        {"default", 0.025, -1000, -1000},  // cell and line height below 0 are used as they are
        {"default", 0.1, 0, 0},
        {"FreeSans", 0.05, 1, 4},
    };
    for (const Case& c : cases) {
        Canvas canvas = fresh_canvas();
        canvas.settings.font_name = c.font;
        canvas.settings.font_size = c.font_size;
        canvas.settings.char_spacing = c.char_spacing;
        canvas.settings.line_spacing = c.line_spacing;
        canvas_move_to(canvas, 33, 44);
        canvas_prepare_font(canvas);
        canvas_setup_cell(canvas);

        const TextSize largest = measure_sample(canvas.settings.font_name, c.font_size * 280.0);
        ASSERT_GT(largest.width, 0);
        EXPECT_EQ(canvas.cell_width, largest.width + c.char_spacing) << c.font << " " << c.font_size;
        EXPECT_EQ(canvas.line_height, largest.height + c.line_spacing) << c.font << " " << c.font_size;
        EXPECT_EQ(canvas.descent, largest.descent) << c.font << " " << c.font_size;  // spacings play no part
        EXPECT_EQ(canvas_position(canvas), std::make_pair(0, canvas.line_height));
    }
}

// The descent is the lowest box bottom of the sample, and no sample character inks below it.
TEST(SetupCell, TheDescentReachesTheLowestInkOfTheSample)
{
    struct Case {
        const char* font;
        double font_size;
    };
    const Case cases[] = {{"default", 0.025}, {"default", 0.1}, {"FreeSans", 0.05}, {"FreeSerif", 0.1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.font << " " << c.font_size);
        Canvas canvas = fresh_canvas();
        canvas.settings.font_name = c.font;
        canvas.settings.font_size = c.font_size;
        canvas_prepare_font(canvas);
        canvas_setup_cell(canvas);
        const double points = c.font_size * 280.0;
        EXPECT_EQ(canvas.descent, measure_sample(canvas.settings.font_name, points).descent);
        EXPECT_GT(canvas.descent, 0);  // g, j, p, q, y hang below the baseline

        constexpr int SIDE = 120, BASELINE = 60;
        int lowest = 0;  // rows below the baseline that hold ink
        for (const char* p = METRIC_SAMPLE; *p != '\0'; ++p) {
            Image image(gdImageCreateTrueColor(SIDE, SIDE));
            int box[8] = {};
            std::string font = canvas.settings.font_name, text(1, *p);
            gdImageStringFT(image.get(), box, rgb(255, 255, 255), font.data(), points, 0.0, 10, BASELINE, text.data());
            for (int y = BASELINE; y < SIDE; ++y)
                if (count_other_pixels(image, rgb(0, 0, 0), 0, y, SIDE, y + 1) > 0) lowest = std::max(lowest, y - BASELINE);
        }
        EXPECT_LE(lowest, canvas.descent);
        EXPECT_GE(lowest, canvas.descent - 1);
    }
}

TEST(SetupCell, HugeSpacingsAreHeldToTheIntegerRange)
{
    Canvas canvas = fresh_canvas();
    canvas_prepare_font(canvas);
    canvas.settings.char_spacing = INT32_MAX;
    canvas.settings.line_spacing = INT32_MIN;
    canvas_setup_cell(canvas);
    EXPECT_EQ(canvas.cell_width, INT32_MAX);
    const TextSize largest = measure_sample("Courier", DEFAULT_POINTS);
    EXPECT_EQ(canvas.line_height, static_cast<int64_t>(INT32_MIN) + largest.height);
}

TEST(SetupCell, TheSameSettingsGiveTheSameCellEveryTime)
{
    Canvas canvas = fresh_canvas();
    canvas_prepare_font(canvas);
    canvas_setup_cell(canvas);
    const int32_t width = canvas.cell_width;
    const int32_t height = canvas.line_height;
    canvas_move_to(canvas, 100, 200);
    canvas_prepare_font(canvas);
    canvas_setup_cell(canvas);
    EXPECT_EQ(canvas.cell_width, width);
    EXPECT_EQ(canvas.line_height, height);
    EXPECT_EQ(canvas_position(canvas), std::make_pair(0, height));
}

TEST(MeasureGlyphDeathTest, AFontLibgdCannotLoadEndsTheRunWithTheHint)
{
    Canvas canvas = fresh_canvas();
    canvas.settings.font_name = "NoSuchFont";
    EXPECT_EXIT(canvas_measure_glyph(canvas, "a"), testing::ExitedWithCode(1),
                "^error: while getting metrics for font 'NoSuchFont': Could not find/open font\n"
                "\nIf the font was not found: 'NoSuchFont' was looked for\n"
                "  - by libgd, in the folders of GDFONTPATH .*\n"
                ".*fc-list :spacing=mono family\n$");
    // The cell set-up measures, so it is where a bad font is found.
    canvas.settings.font_name = "default";
    canvas_prepare_font(canvas);
    canvas.settings.font_name = VEDAD_FIXTURE_DIR "/plain/not-a-font.ttf";
    EXPECT_EXIT(canvas_setup_cell(canvas), testing::ExitedWithCode(1),
                "^error: while getting metrics for font '.*/not-a-font\\.ttf': Could not read font\n");
}
