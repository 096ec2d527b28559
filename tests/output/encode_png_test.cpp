#include "output/encode_png.hpp"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_support.hpp"

using namespace vedad;
using vedad_test::Image;

namespace {

Image decoded(const EncodedPicture& png)
{
    return Image(gdImageCreateFromPngPtr(static_cast<int>(png.bytes.size()), const_cast<unsigned char*>(png.bytes.data())));
}

// The PNG's colour type and bit depth, from its header.
std::pair<int, int> form_of(const EncodedPicture& png)
{
    return {png.bytes.at(25), png.bytes.at(24)};
}

// An image made by `paint`, kept with its alpha or not.
Image made(int width, int height, bool keep_alpha, const std::function<int(int, int)>& paint)
{
    Image image(gdImageCreateTrueColor(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image->tpixels[y][x] = paint(x, y);
    gdImageSaveAlpha(image.get(), keep_alpha ? 1 : 0);
    return image;
}

}  // namespace

// Whatever form the pixels allow, the PNG decodes to exactly what libgd's own PNG of the same
// image decodes to, whether its rows are compressed at once or, as a large picture's are, row by
// row.
TEST(EncodePng, DecodesToWhatLibgdsOwnPngDecodesTo)
{
    const struct {
        const char* name;
        int width;
        int height;
        bool keep_alpha;
        std::function<int(int, int)> paint;
        int color_type;
        int bit_depth;
    } cases[] = {
        {"one pixel", 1, 1, false, [](int, int) { return gdTrueColor(9, 8, 7); }, 3, 1},
        {"two colours", 7, 3, false, [](int x, int) { return x % 2 ? gdTrueColor(255, 0, 0) : 0; }, 3, 1},
        {"sixteen greys", 33, 5, false, [](int x, int y) { return gdTrueColor((x + y) % 16 * 17, (x + y) % 16 * 17, (x + y) % 16 * 17); }, 3, 4},
        {"seventeen greys", 34, 5, false, [](int x, int y) { return gdTrueColor((x + y) % 17 * 15, (x + y) % 17 * 15, (x + y) % 17 * 15); }, 0, 8},
        {"antialiased grey text", 300, 20, false, [](int x, int y) { const int v = (x * 7 + y * 13) % 256; return gdTrueColor(v, v, v); }, 0, 8},
        {"antialiased coloured text", 300, 20, false, [](int x, int) { return gdTrueColor(x % 200, x % 200 / 2, 20); }, 3, 8},
        {"many colours", 300, 20, false, [](int x, int y) { return gdTrueColor(x % 256, y * 12, (x * y) % 256); }, 2, 8},
        {"alpha ignored when not kept", 40, 4, false, [](int x, int) { return gdTrueColorAlpha(x, x, x, x % 128); }, 0, 8},
        {"transparent background", 40, 4, true, [](int x, int) { return x % 3 ? gdTrueColorAlpha(0, 0, 0, 127) : gdTrueColorAlpha(200, 10, 10, 0); }, 3, 1},
        {"translucent greys", 300, 4, true, [](int x, int) { return gdTrueColorAlpha(x % 256, x % 256, x % 256, x % 128); }, 4, 8},
        {"translucent colours", 300, 4, true, [](int x, int y) { return gdTrueColorAlpha(x % 256, y * 50, 7, x % 128); }, 6, 8},
        {"a colour only at each row's end", 16, 3, false, [](int x, int y) { return x == 15 ? gdTrueColor(200, y, 0) : 0; }, 3, 2},
        {"greys but for one colour in the last row", 40, 6, false, [](int x, int y) { return y == 5 && x == 20 ? gdTrueColor(9, 0, 0) : gdTrueColor(x * 6, x * 6, x * 6); }, 3, 8},
        {"greys but for one translucent pixel in the last row", 40, 6, true, [](int x, int y) { return gdTrueColorAlpha(x * 6, x * 6, x * 6, y == 5 && x == 33 ? 5 : 0); }, 4, 8},
        {"a wide row", 32767, 1, false, [](int x, int) { return x % 5 ? 0 : gdTrueColor(1, 2, 3); }, 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Image image = made(c.width, c.height, c.keep_alpha, c.paint);
        const EncodedPicture libgds = encode_png_with_libgd(image.get());
        ASSERT_FALSE(libgds.bytes.empty());
        const Image expected = decoded(libgds);
        for (const size_t most_at_once : {PNG_BYTES_AT_ONCE, size_t{0}}) {
            SCOPED_TRACE(most_at_once);
            const EncodedPicture ours = encode_png(whole_image(image.get()), most_at_once);
            ASSERT_FALSE(ours.bytes.empty());
            EXPECT_EQ(form_of(ours), std::make_pair(c.color_type, c.bit_depth));
            const Image actual = decoded(ours);
            ASSERT_NE(actual, nullptr);
            EXPECT_EQ(vedad_test::compare_images(actual, expected), "");
            EXPECT_EQ(actual->saveAlphaFlag, expected->saveAlphaFlag);
        }
    }
}

TEST(EncodePng, NamesItsFilesPng)
{
    const Image image = made(2, 2, false, [](int, int) { return 0; });
    EXPECT_STREQ(encode_png(image.get()).extension, ".png");
}
