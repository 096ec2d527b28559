#include "canvas/canvas.hpp"
#include "glyphs/glyph.hpp"

#include <limits>

#include <gtest/gtest.h>

#include "support/test_support.hpp"

using namespace vedad;
using vedad_test::Image;

namespace {

// A canvas as the run sets it up, with an image of the given size.
class CanvasTest : public testing::Test {
protected:
    void make(int width, int height)
    {
        canvas_init(canvas);
        canvas_create(canvas, width, height);
        ASSERT_NE(canvas.image, nullptr);
    }
    void TearDown() override
    {
        if (canvas.image != nullptr) canvas_destroy(canvas);
    }
    int at(int x, int y) const { return gdImageGetTrueColorPixel(canvas.image, x, y); }

    Canvas canvas{};
};

}  // namespace

TEST(CanvasInit, StartsAtOriginInArgb32AtSevenPoints)
{
    Canvas canvas;
    canvas_init(canvas);
    EXPECT_EQ(canvas_position(canvas), std::make_pair(0, 0));
    EXPECT_STREQ(pixel_format_name(canvas.settings), "ARGB32");
    EXPECT_DOUBLE_EQ(canvas_point_size(canvas), 7.0);
    EXPECT_STREQ(canvas.settings.font_name, "default");
    EXPECT_EQ(canvas.image, nullptr);
}

TEST(CanvasPointSize, HandsLibgdOnlyFiniteSizesItCanConvert)
{
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        double font_size;
        double points;
    } cases[] = {
        {0.025, 7.0},
        {50.0, 14000.0},
        {MAX_POINT_SIZE / 280.0, MAX_POINT_SIZE},
        // Not a number, infinite or huge: libgd would convert them to fixed point with overflow.
        {1e300, MAX_POINT_SIZE},
        {infinity, MAX_POINT_SIZE},
        {-infinity, MAX_POINT_SIZE},
        {std::numeric_limits<double>::quiet_NaN(), MAX_POINT_SIZE},
    };
    for (const auto& c : cases) {
        Canvas canvas;
        canvas_init(canvas);
        canvas.settings.font_size = c.font_size;
        EXPECT_DOUBLE_EQ(canvas_point_size(canvas), c.points) << c.font_size;
    }
}

TEST(PixelFormatName, NamesTheKnownFormatsAndNothingElse)
{
    const struct {
        int32_t format;
        const char* name;
    } cases[] = {{0, "A8"}, {1, "RGB24"}, {2, "ARGB32"}, {3, "UNKNOWN"}, {-1, "UNKNOWN"}};
    Canvas canvas;
    canvas_init(canvas);
    for (const auto& c : cases) {
        canvas.settings.pixel_format = c.format;
        EXPECT_STREQ(pixel_format_name(canvas.settings), c.name) << c.format;
    }
}

TEST_F(CanvasTest, BackgroundReachesEveryPixelIncludingLastColumnAndRow)
{
    make(7, 5);
    canvas_set_background(canvas, Rgb{10, 20, 30});
    EXPECT_EQ(canvas.background_color, gdTrueColorAlpha(10, 20, 30, 0));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(at(x, y), gdTrueColor(10, 20, 30)) << x << "," << y;
}

TEST_F(CanvasTest, TransparentBackgroundFillsWithTransparentBlack)
{
    make(4, 3);
    canvas_set_transparent_background(canvas);
    EXPECT_EQ(canvas.background_color, gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(at(x, y), canvas.background_color) << x << "," << y;
}

TEST_F(CanvasTest, FillRectWithEqualCornersSetsExactlyOnePixel)
{
    make(6, 6);
    canvas_set_background(canvas, Rgb{0, 0, 255});
    canvas_set_foreground(canvas, Rgb{255, 0, 0});
    canvas_fill_rect(canvas, 2, 3, 2, 3);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const int expected = x == 2 && y == 3 ? gdTrueColor(255, 0, 0) : gdTrueColor(0, 0, 255);
            ASSERT_EQ(at(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(CanvasTest, FilledRectanglesAreLibgdsWhateverTheCornersAndBlending)
{
    const int rectangles[][4] = {
        {1, 1, 5, 3},    {5, 3, 1, 1},   {-4, -2, 3, 2},  {6, 4, 40, 40}, {-9, 2, 30, 2},  {2, -9, 2, 30},
        {0, 0, 8, 6},    {-50, -50, -1, 3}, {8, 0, 12, 5}, {3, 6, 3, 6},  {3, 5, 3, 5},    {-1, -1, -1, -1},
        {20, 1, 30, 2},  {1, 20, 2, 30}, {-30, 1, -20, 2}, {1, -30, 2, -20},
    };
    const int colors[] = {gdTrueColor(200, 10, 10), gdTrueColorAlpha(10, 200, 10, 60),
                          gdTrueColorAlpha(1, 2, 3, gdAlphaTransparent)};
    for (bool transparent : {false, true}) {
        for (int blending : {0, 1}) {
            make(8, 6);
            Image expected(gdImageCreateTrueColor(8, 6));
            if (transparent) canvas_set_transparent_background(canvas);
            else canvas_set_background(canvas, Rgb{0, 0, 90});
            gdImageAlphaBlending(expected.get(), 0);
            gdImageFilledRectangle(expected.get(), 0, 0, 8, 6, canvas.background_color);
            gdImageAlphaBlending(canvas.image, blending);
            gdImageAlphaBlending(expected.get(), blending);
            for (const auto& r : rectangles) {
                for (int color : colors) {
                    canvas.foreground_color = color;
                    canvas_fill_rect(canvas, r[0], r[1], r[2], r[3]);
                    gdImageFilledRectangle(expected.get(), r[0], r[1], r[2], r[3], color);
                    for (int y = 0; y < 6; ++y) {
                        for (int x = 0; x < 8; ++x) {
                            ASSERT_EQ(at(x, y), gdImageGetTrueColorPixel(expected.get(), x, y))
                                << x << "," << y << " after " << r[0] << "," << r[1] << "," << r[2] << "," << r[3];
                        }
                    }
                }
            }
            canvas_destroy(canvas);
        }
    }
}

TEST_F(CanvasTest, ResizeKeepsTheTopLeftCornerPixelForPixel)
{
    const struct {
        int width;
        int height;
    } sizes[] = {{8, 6}, {5, 4}, {1, 1}};
    for (const auto& size : sizes) {
        make(8, 6);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) gdImageSetPixel(canvas.image, x, y, gdTrueColor(x * 30, y * 40, 7));
        canvas_resize(canvas, size.width, size.height);
        ASSERT_EQ(gdImageSX(canvas.image), size.width);
        ASSERT_EQ(gdImageSY(canvas.image), size.height);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) ASSERT_EQ(at(x, y), gdTrueColor(x * 30, y * 40, 7)) << x << "," << y;
        canvas_destroy(canvas);
    }
}

TEST_F(CanvasTest, ResizeKeepsATransparentBackgroundTransparent)
{
    make(6, 4);
    canvas_set_transparent_background(canvas);
    canvas_resize(canvas, 3, 2);
    EXPECT_EQ(at(0, 0), gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent));
    EXPECT_EQ(at(2, 1), gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent));
    EXPECT_NE(canvas.image->saveAlphaFlag, 0);
}

TEST(CanvasPen, MovesAnywhereEvenOutsideTheImage)
{
    Canvas canvas;
    canvas_init(canvas);
    canvas_move_to(canvas, -5, 1000);
    EXPECT_EQ(canvas_position(canvas), std::make_pair(-5, 1000));
}

// libgd refuses some sizes and returns no image; the run must stop there, not draw on nothing.
TEST(CanvasDeathTest, ImageThatCannotBeMadeEndsTheRun)
{
    const struct {
        int width;
        int height;
    } sizes[] = {{100000, 100000}, {0, 10}, {10, 0}, {-1, -1}};
    for (const auto& size : sizes) {
        EXPECT_EXIT(
            {
                Canvas canvas;
                canvas_init(canvas);
                canvas_create(canvas, size.width, size.height);
            },
            testing::ExitedWithCode(1), "(^|\n)error: could not create an image of -?[0-9]+x-?[0-9]+ pixels\n$")
            << size.width << "x" << size.height;
        EXPECT_EXIT(
            {
                Canvas canvas;
                canvas_init(canvas);
                canvas_create(canvas, 10, 10);
                canvas_resize(canvas, size.width, size.height);
            },
            testing::ExitedWithCode(1), "(^|\n)error: could not create an image of -?[0-9]+x-?[0-9]+ pixels\n$")
            << size.width << "x" << size.height;
    }
}
