// Layout options: --margin pads the finished picture, --scale draws the same layout denser.

#include <string>
#include <vector>

#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

const std::string TEXT = "pig and fig\n\tjumps, quietly\nlast row: gjpqy_\n";
const std::string SPANS = "<span style='color:#ff0000; background-color:#0000ff'>g</span>"
                          "<span style='color:#00ff00; background-color:#202020'>y</span><br/>"
                          "<span style='color:#ffffff; background-color:#0000ff'>j</span>";

// Converts `input` with `arguments` into out.png in `dir` and reads the picture back.
Image convert(const TempDir& dir, std::vector<std::string> arguments, const std::string& input)
{
    arguments.push_back("--output=out.png");
    arguments.push_back("--overwrite");
    arguments.push_back("-");
    const RunResult result = run_vedad(dir.path(), arguments, input);
    EXPECT_EQ(result.status, 0) << result.err;
    return read_png(dir / "out.png");
}

// `image` inside a border of `margin` pixels of `border`.
Image padded(const Image& image, int margin, int border)
{
    const int width = gdImageSX(image.get()) + 2 * margin;
    const int height = gdImageSY(image.get()) + 2 * margin;
    Image result(gdImageCreateTrueColor(width, height));
    gdImageAlphaBlending(result.get(), 0);
    gdImageFilledRectangle(result.get(), 0, 0, width - 1, height - 1, border);
    gdImageCopy(result.get(), image.get(), margin, margin, 0, 0, gdImageSX(image.get()), gdImageSY(image.get()));
    return result;
}

}  // namespace

TEST(Layout, MarginPadsThePictureInItsBackground)
{
    TempDir dir;
    const int transparent = gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent);
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        int border;
    } cases[] = {
        {{}, TEXT, rgb(0, 0, 0)},
        {{"--background=336699"}, TEXT, rgb(0x33, 0x66, 0x99)},
        {{"--no-crop", "--size=50x20"}, TEXT, rgb(0, 0, 0)},
        {{"--transparent"}, TEXT, transparent},
        {{"--html-input", "--background=102030"}, SPANS, rgb(0x10, 0x20, 0x30)},
        {{"--html-input", "--transparent"}, SPANS, transparent},
    };
    for (const auto& c : cases) {
        const Image plain = convert(dir, c.arguments, c.input);
        ASSERT_NE(plain, nullptr);
        for (const int margin : {1, 8}) {
            std::vector<std::string> arguments = c.arguments;
            arguments.push_back("--margin=" + std::to_string(margin));
            const Image with_margin = convert(dir, arguments, c.input);
            ASSERT_NE(with_margin, nullptr);
            EXPECT_EQ(compare_images(with_margin, padded(plain, margin, c.border)), "")
                << testing::PrintToString(arguments);
        }
    }
}

// A scaled page is the page drawn at the multiplied point size on the multiplied canvas,
// with the multiplied margin; the spacings stay in pixels.
TEST(Layout, ScaleMultipliesPointSizeCanvasAndMargin)
{
    TempDir dir;
    const struct {
        std::vector<std::string> scaled;
        std::vector<std::string> by_hand;
        std::string input;
    } cases[] = {
        {{"--scale=2"}, {"--font-size=0.05", "--size=1280x960"}, TEXT},
        {{"--scale=3", "--margin=2", "--size=100x40", "--no-crop"},
         {"--font-size=0.075", "--size=300x120", "--margin=6", "--no-crop"}, TEXT},
        {{"--scale=2", "--linespacing=5", "--width=90"}, {"--font-size=0.05", "--width=180", "--height=960", "--linespacing=5"},
         TEXT},
        {{"--scale=2", "--html-input", "--fixed"}, {"--font-size=0.05", "--size=1280x960", "--html-input", "--fixed"},
         SPANS},
        {{"--scale=1"}, {}, TEXT},
    };
    for (const auto& c : cases) {
        const Image scaled = convert(dir, c.scaled, c.input);
        const Image by_hand = convert(dir, c.by_hand, c.input);
        ASSERT_NE(scaled, nullptr);
        ASSERT_NE(by_hand, nullptr);
        EXPECT_EQ(compare_images(scaled, by_hand), "") << testing::PrintToString(c.scaled);
    }
}

TEST(Layout, OutOfRangeScaleOrMarginEndsTheRun)
{
    TempDir dir;
    write_file(dir / "a.txt", "a\n");
    const std::string scale_error = "error: --scale= expects a whole number from 1 to 8, as in --scale=2\n";
    const std::string margin_error = "error: --margin= expects a number of pixels from 0, as in --margin=8\n";
    const struct {
        std::string option;
        std::string err;
    } cases[] = {
        {"--scale=0", scale_error}, {"--scale=9", scale_error}, {"--scale=-2", scale_error},
        {"--scale=two", scale_error}, {"--margin=-1", margin_error},
    };
    for (const auto& c : cases) {
        const RunResult result = run_vedad(dir.path(), {c.option, "a.txt"});
        EXPECT_EQ(result.status, 1) << c.option;
        EXPECT_EQ(result.err, c.err) << c.option;
    }
    EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
}
