#include "output/encode_png.hpp"

#include <gtest/gtest.h>

#include "canvas/canvas.hpp"
#include "support/test_support.hpp"

using namespace vedad;

TEST(EncodePng, HoldsThePixels)
{
    Canvas canvas;
    canvas_init(canvas);
    canvas_create(canvas, 3, 2);
    canvas_set_background(canvas, Rgb{1, 2, 3});
    canvas_set_foreground(canvas, Rgb{200, 100, 50});
    canvas_fill_rect(canvas, 2, 1, 2, 1);
    const EncodedPicture png = encode_png(canvas.image);
    canvas_destroy(canvas);
    EXPECT_STREQ(png.extension, ".png");
    ASSERT_NE(png.data, nullptr);
    vedad_test::Image written(gdImageCreateFromPngPtr(static_cast<int>(png.size), png.data.get()));
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(gdImageSX(written.get()), 3);
    EXPECT_EQ(gdImageSY(written.get()), 2);
    EXPECT_EQ(vedad_test::pixel(written, 0, 0), gdTrueColor(1, 2, 3));
    EXPECT_EQ(vedad_test::pixel(written, 2, 1), gdTrueColor(200, 100, 50));
}
