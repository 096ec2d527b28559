#include "output/encode_gif.hpp"

#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/animation_frames.hpp"

using namespace vedad;
using namespace vedad_test;

namespace {

Animation decoded(const EncodedPicture& picture)
{
    TempDir dir;
    write_file(dir / "a.gif", std::string(picture.bytes.begin(), picture.bytes.end()));
    return read_gif(dir / "a.gif");
}

// An image of `colors` colours: each column its own.
Image striped(int colors)
{
    Image image(gdImageCreateTrueColor(colors, 8));
    for (int x = 0; x < colors; ++x) {
        for (int y = 0; y < 8; ++y) image->tpixels[y][x] = gdTrueColor(x % 256, x / 256 * 40, 7);
    }
    return image;
}

}  // namespace

TEST(EncodeGif, FramesOfFewColoursAreExactAndOnlyTheirChangesAreStored)
{
    Image image = striped(200);
    GifAnimation gif;
    gif_begin(gif, 200, 8, 0);
    gif_add_frame(gif, image.get(), 0, 0, 199, 7, 10);
    const Image first(gdImageClone(image.get()));
    for (int y = 2; y < 4; ++y) image->tpixels[y][50] = gdTrueColor(1, 2, 3);
    // The area given is larger than the change: only the changed pixels' box is written.
    gif_add_frame(gif, image.get(), 40, 0, 60, 7, 70000);
    const Animation animation = decoded(gif_finish(gif));
    ASSERT_EQ(animation.frames.size(), 3u);  // the second frame lasts longer than GIF can tell
    EXPECT_TRUE(same_pixels(animation.frames[0].image, first));
    EXPECT_TRUE(same_pixels(animation.frames[1].image, image));
    EXPECT_TRUE(same_pixels(animation.frames[2].image, image));
    EXPECT_EQ(animation.frames[0].duration, 10);
    EXPECT_EQ(animation.frames[1].duration + animation.frames[2].duration, 70000);
    EXPECT_EQ(animation.loops, 0);
}

TEST(EncodeGif, ColoursBeyondTheSharedTableComeWithTheFrame)
{
    // 200 colours fill most of the shared table; 200 new ones do not fit and are exact in a
    // table of their own; 600 at once are libgd's nearest 255.
    Image image = striped(600);
    GifAnimation gif;
    gif_begin(gif, 600, 8, 1);
    Image start(gdImageCreateTrueColor(600, 8));
    for (int x = 0; x < 600; ++x)
        for (int y = 0; y < 8; ++y) start->tpixels[y][x] = x < 200 ? image->tpixels[y][x] : 0;
    gif_add_frame(gif, start.get(), 0, 0, 599, 7, 5);
    Image middle(gdImageClone(start.get()));
    for (int x = 200; x < 400; ++x)
        for (int y = 0; y < 8; ++y) middle->tpixels[y][x] = image->tpixels[y][x];
    gif_add_frame(gif, middle.get(), 0, 0, 599, 7, 5);
    Image all(gdImageCreateTrueColor(600, 8));
    for (int x = 0; x < 600; ++x)
        for (int y = 0; y < 8; ++y) all->tpixels[y][x] = gdTrueColor(255 - x % 256, x % 200, x / 3);
    gif_add_frame(gif, all.get(), 0, 0, 599, 7, 5);
    const Animation animation = decoded(gif_finish(gif));
    ASSERT_EQ(animation.frames.size(), 3u);
    EXPECT_TRUE(same_pixels(animation.frames[0].image, start));
    EXPECT_TRUE(same_pixels(animation.frames[1].image, middle));
    EXPECT_EQ(animation.loops, -1);  // plays once: no loop block
    int far = 0;
    for (int x = 0; x < 600; ++x) {
        const int a = animation.frames[2].image->tpixels[4][x];
        const int b = all->tpixels[4][x];
        const int distance = std::abs(gdTrueColorGetRed(a) - gdTrueColorGetRed(b)) +
                             std::abs(gdTrueColorGetGreen(a) - gdTrueColorGetGreen(b));
        far += distance > 64 ? 1 : 0;
    }
    EXPECT_LT(far, 30);
}
