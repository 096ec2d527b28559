// The frame around a page: --padding, --window and --title, --radius, --shadow, --pretty, and
// their errors. Every frame leaves the page itself as it is drawn without one.

#include <string>
#include <vector>

#include "support/launch.hpp"
#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

const std::string TEXT = "a row of text long enough for the buttons\nand a second, gjpqy\n";
const int TRANSPARENT = gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent);

Image convert(const TempDir& dir, std::vector<std::string> arguments, const std::string& input = TEXT)
{
    arguments.insert(arguments.end(), {"--output=out.png", "--overwrite", "-"});
    const RunResult result = run_vedad(dir.path(), arguments, input);
    EXPECT_EQ(result.status, 0) << result.err;
    return read_png(dir / "out.png");
}

// The `width` x `height` pixels of `image` from (x, y), alpha included.
Image part(const Image& image, int x, int y, int width, int height)
{
    Image piece(gdImageCreateTrueColor(width, height));
    gdImageAlphaBlending(piece.get(), 0);
    gdImageCopy(piece.get(), image.get(), 0, 0, x, y, width, height);
    return piece;
}

int alpha(const Image& image, int x, int y)
{
    return gdTrueColorGetAlpha(pixel(image, x, y));
}

// The bar's height over a page in the default font: a row and room around it, 28 at least.
int bar_height()
{
    return std::max(28, measure_sample("Courier", 7.0).height + 2 + 12);
}

}  // namespace

TEST(Frame, PaddingSurroundsTheTextInThePageBackground)
{
    TempDir dir;
    const struct {
        std::vector<std::string> arguments;
        int top, left;  // the padding asked for
        int border;     // the colour it has
    } cases[] = {
        {{"--padding=5"}, 5, 5, rgb(0, 0, 0)},
        {{"--padding=3,9", "--background=336699"}, 3, 9, rgb(0x33, 0x66, 0x99)},
        {{"--padding=0,4", "--transparent"}, 0, 4, TRANSPARENT},
        {{"--padding=4", "--no-crop", "--size=60x20"}, 4, 4, rgb(0, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        std::vector<std::string> plain_arguments(c.arguments.begin() + 1, c.arguments.end());
        const Image plain = convert(dir, plain_arguments);
        const Image padded = convert(dir, c.arguments);
        ASSERT_NE(plain, nullptr);
        ASSERT_NE(padded, nullptr);
        const int width = gdImageSX(plain.get());
        const int height = gdImageSY(plain.get());
        ASSERT_EQ(gdImageSX(padded.get()), width + 2 * c.left);
        ASSERT_EQ(gdImageSY(padded.get()), height + 2 * c.top);
        EXPECT_EQ(compare_images(part(padded, c.left, c.top, width, height), plain), "");
        const int outer_width = width + 2 * c.left;
        const int outer_height = height + 2 * c.top;
        EXPECT_EQ(count_other_pixels(padded, c.border, 0, 0, outer_width, c.top), 0);
        EXPECT_EQ(count_other_pixels(padded, c.border, 0, 0, c.left, outer_height), 0);
        EXPECT_EQ(count_other_pixels(padded, c.border, outer_width - c.left, 0, outer_width, outer_height), 0);
        EXPECT_EQ(count_other_pixels(padded, c.border, 0, outer_height - c.top, outer_width, outer_height), 0);
        // The margin lies outside the padding.
        std::vector<std::string> with_margin = c.arguments;
        with_margin.push_back("--margin=2");
        const Image framed = convert(dir, with_margin);
        EXPECT_EQ(compare_images(part(framed, 2, 2, outer_width, outer_height), padded), "");
    }
}

// The bar stands above the page, as wide as it, in a colour a little off the background; the mac
// style's buttons have their colours at their centres, the plain style has none.
TEST(Frame, WindowBarHasItsHeightColourAndButtons)
{
    TempDir dir;
    const int bar = bar_height();
    const struct {
        std::string background;
        int bar_color;
    } backgrounds[] = {{"000000", rgb(26, 26, 26)}, {"ffffff", rgb(237, 237, 237)}};
    for (const auto& b : backgrounds) {
        const Image plain = convert(dir, {"--background=" + b.background});
        ASSERT_NE(plain, nullptr);
        const int width = gdImageSX(plain.get());
        const int height = gdImageSY(plain.get());
        for (const std::string style : {"mac", "plain"}) {
            SCOPED_TRACE(b.background + " " + style);
            const Image window = convert(dir, {"--background=" + b.background, "--window=" + style, "--title="});
            ASSERT_NE(window, nullptr);
            ASSERT_EQ(gdImageSX(window.get()), width);
            ASSERT_EQ(gdImageSY(window.get()), height + bar);
            EXPECT_EQ(compare_images(part(window, 0, bar, width, height), plain), "");
            EXPECT_EQ(count_other_pixels(window, b.bar_color, 70, 0, width, bar), 0);
            const int buttons[] = {rgb(0xff, 0x5f, 0x57), rgb(0xfe, 0xbc, 0x2e), rgb(0x28, 0xc8, 0x40)};
            for (int i = 0; i < 3; ++i) {
                const int expected = style == "mac" ? buttons[i] : b.bar_color;
                EXPECT_EQ(pixel(window, 20 + 20 * i, bar / 2), expected) << i;
                EXPECT_EQ(pixel(window, 20 + 20 * i, 1), b.bar_color) << i;
            }
        }
    }
    // --window=none is no bar; --window alone is the mac style.
    EXPECT_EQ(compare_images(convert(dir, {"--window=none"}), convert(dir, {})), "");
    EXPECT_EQ(compare_images(convert(dir, {"--window"}), convert(dir, {"--window=mac"})), "");
}

// The title is the text drawn in the page's font and size, centred, in the foreground muted
// towards the bar; by default it is the input's file name.
TEST(Frame, WindowTitleIsTheTextDrawnInTheBar)
{
    TempDir dir;
    const Image untitled = convert(dir, {"--window=plain", "--title="});
    const Image titled = convert(dir, {"--window=plain", "--title=Hq"});
    ASSERT_NE(untitled, nullptr);
    ASSERT_NE(titled, nullptr);
    const TextSize title = measure_string("Courier", 7.0, "Hq");
    const TextSize capital = measure_string("Courier", 7.0, "H");
    Image expected = part(untitled, 0, 0, gdImageSX(untitled.get()), gdImageSY(untitled.get()));
    gdImageAlphaBlending(expected.get(), 1);
    int box[8] = {};
    std::string font = "Courier";
    std::string text = "Hq";
    // White muted 40% towards the bar's 26.
    const int muted = rgb(163, 163, 163);
    gdImageStringFT(expected.get(), box, muted, font.data(), 7.0, 0.0, (gdImageSX(untitled.get()) - title.width) / 2,
                    (bar_height() + capital.height - capital.descent) / 2, text.data());
    EXPECT_EQ(compare_images(titled, expected), "");

    write_file(dir / "notes.txt", TEXT);
    ASSERT_EQ(run_vedad(dir.path(), {"--window=plain", "notes.txt"}).status, 0);
    EXPECT_EQ(compare_images(read_png(dir / "notes.png"), convert(dir, {"--window=plain", "--title=notes.txt"})), "");
}

// Outside rounded corners the picture is transparent, margin included; the arc is smoothed.
TEST(Frame, RoundedCornersAreTransparentOutsideAndSmoothOnTheEdge)
{
    TempDir dir;
    for (const std::string margin : {"0", "3"}) {
        SCOPED_TRACE(margin);
        const Image image = convert(dir, {"--radius=8", "--padding=4", "--window", "--margin=" + margin});
        ASSERT_NE(image, nullptr);
        const int m = std::stoi(margin);
        const int right = gdImageSX(image.get()) - 1 - m;
        const int bottom = gdImageSY(image.get()) - 1 - m;
        for (const auto& [x, y] : {std::pair{m, m}, {right, m}, {m, bottom}, {right, bottom}}) {
            EXPECT_EQ(alpha(image, x, y), gdAlphaTransparent) << x << "," << y;
        }
        int partial = 0;
        for (int y = m; y < m + 8; ++y) {
            for (int x = m; x < m + 8; ++x) partial += alpha(image, x, y) > 0 && alpha(image, x, y) < gdAlphaTransparent;
        }
        EXPECT_GE(partial, 4);
        EXPECT_EQ(alpha(image, m + 8, m), gdAlphaOpaque);
        EXPECT_EQ(alpha(image, m, m + 8), gdAlphaOpaque);
        if (m > 0) {
            EXPECT_EQ(count_other_pixels(image, TRANSPARENT, 0, 0, gdImageSX(image.get()), m), 0);
        }
    }
}

// The shadow fades away from the page, lies in the margin, and leaves the page as it is.
TEST(Frame, ShadowFadesAwayFromThePageAndNeverCoversIt)
{
    TempDir dir;
    const int margin = 24;
    const Image page = convert(dir, {"--background=ffffff", "--foreground=000000"});
    const Image shadowed = convert(dir, {"--background=ffffff", "--foreground=000000", "--shadow=10,4", "--margin=24"});
    ASSERT_NE(page, nullptr);
    ASSERT_NE(shadowed, nullptr);
    const int width = gdImageSX(page.get());
    const int height = gdImageSY(page.get());
    ASSERT_EQ(gdImageSX(shadowed.get()), width + 2 * margin);
    EXPECT_EQ(compare_images(part(shadowed, margin, margin, width, height), page), "");
    // Below the page and left of it, the shadow's alpha only grows going away, from dark
    // near the page to nothing at the picture's edge.
    const int middle = margin + width / 2;
    EXPECT_LT(alpha(shadowed, middle, margin + height), 100);
    for (int y = margin + height; y + 1 < gdImageSY(shadowed.get()); ++y) {
        EXPECT_LE(alpha(shadowed, middle, y), alpha(shadowed, middle, y + 1)) << y;
        EXPECT_EQ(gdTrueColorGetRed(pixel(shadowed, middle, y)), 0) << y;
    }
    for (int x = margin - 1; x > 0; --x) EXPECT_GE(alpha(shadowed, x - 1, margin + height / 2), alpha(shadowed, x, margin + height / 2)) << x;
    EXPECT_EQ(alpha(shadowed, 0, 0), gdAlphaTransparent);
    EXPECT_EQ(alpha(shadowed, middle, gdImageSY(shadowed.get()) - 1), gdAlphaTransparent);
    // Under a transparent page no shadow shows through.
    const Image clear = convert(dir, {"--transparent", "--shadow=10,4", "--margin=24"});
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(alpha(clear, margin + 1, margin + height - 1), gdAlphaTransparent);
}

// --pretty is its parts, each of which can be given otherwise wherever it stands.
TEST(Frame, PrettyIsItsPartsAndEachCanBeOverridden)
{
    TempDir dir;
    const std::vector<std::string> parts = {"--window", "--padding=16,20", "--radius=8", "--shadow",
                                            "--margin=32", "--fit", "--scale=2", "--font-size=0.05"};
    EXPECT_EQ(compare_images(convert(dir, {"--pretty"}), convert(dir, parts)), "");
    EXPECT_EQ(compare_images(convert(dir, {"--scale=1", "--pretty", "--window=none", "--font-size=0.025"}),
                             convert(dir, {"--padding=16,20", "--radius=8", "--shadow", "--margin=32", "--fit"})),
              "");
    // Its larger font makes cells of at least 8 by 16 pixels.
    const TextSize cell = measure_sample("Courier", 0.05 * 280);
    EXPECT_GE(cell.width, 8);
    EXPECT_GE(cell.height + 2, 16);
}

TEST(Frame, ValuesOutOfRangeAreRefused)
{
    TempDir dir;
    const struct {
        std::string argument;
        std::string first_line;
    } cases[] = {
        {"--padding=1,2,3", "error: --padding= expects pixels from 0 to 1000, or two as VERTICAL,HORIZONTAL, as in --padding=16,20"},
        {"--padding=1001", "error: --padding= expects pixels from 0 to 1000, or two as VERTICAL,HORIZONTAL, as in --padding=16,20"},
        {"--radius=-1", "error: --radius= expects a number of pixels from 0 to 1000, as in --radius=8"},
        {"--window=round", "error: --window= expects mac, plain or none, as in --window=plain"},
        {"--shadow=soft", "error: --shadow= expects a blur in pixels from 0 to 1000, and an offset after a comma, as in --shadow=20,8"},
        {"--line-numbers=x", "error: --line-numbers= expects a whole number to count from, as in --line-numbers=10"},
    };
    for (const auto& c : cases) {
        const RunResult result = run_vedad(dir.path(), {c.argument, "-"}, "a\n");
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err.substr(0, result.err.find('\n')), c.first_line);
        EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{});
    }
}

// The gutter holds each line's number, right-aligned a cell before the text, drawn in the
// foreground dimmed towards the background on the line's baseline; rows that a wrap continues
// have none. Beside it the page is the page without numbers.
TEST(Frame, LineNumbersAreTheDigitsDrawnInAGutterBesideTheText)
{
    TempDir dir;
    const TextSize sample = measure_sample("Courier", 7.0);
    const int cell = sample.width;
    const int line_height = sample.height + 2;
    const std::string ten = "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\n";
    const std::string spans = "<span style='color:#ffffff'>a</span><br/><span style='color:#ffffff'>b</span><br/>";
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        int digits;                                // the widest number's
        std::vector<std::pair<int, int>> numbers;  // each number and the row it stands on
    } cases[] = {
        {{"--line-numbers"}, ten, 2, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 9}, {10, 10}}},
        {{"--line-numbers=98"}, "a\nb\nc\n", 3, {{98, 1}, {99, 2}, {100, 3}}},
        {{"--line-numbers", "--columns=3"}, "abcdefg\nxy\n", 1, {{1, 1}, {2, 4}}},
        {{"--line-numbers", "--html-input", "--fixed"}, spans, 1, {{1, 1}, {2, 2}}},
        {{"--line-numbers", "--ansi-input", "--columns=2"}, "abc\r\nd\r\n", 1, {{1, 1}, {2, 3}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const Image numbered = convert(dir, c.arguments, c.input);
        const Image plain = convert(dir, std::vector<std::string>(c.arguments.begin() + 1, c.arguments.end()), c.input);
        ASSERT_NE(numbered, nullptr);
        ASSERT_NE(plain, nullptr);
        const int gutter = (c.digits + 1) * cell;
        const int height = gdImageSY(plain.get());
        ASSERT_EQ(gdImageSX(numbered.get()), gutter + gdImageSX(plain.get()));
        ASSERT_EQ(gdImageSY(numbered.get()), height);
        EXPECT_EQ(compare_images(part(numbered, gutter, 0, gdImageSX(plain.get()), height), plain), "");
        Image expected(gdImageCreateTrueColor(gutter, height));
        std::string font = "Courier";
        for (const auto& [number, row] : c.numbers) {
            std::string digits = std::to_string(number);
            const int x = gutter - cell - measure_string("Courier", 7.0, digits).width;
            int box[8] = {};
            // White dimmed 45% towards black.
            gdImageStringFT(expected.get(), box, rgb(140, 140, 140), font.data(), 7.0, 0.0, x, row * line_height,
                            digits.data());
        }
        EXPECT_EQ(compare_images(part(numbered, 0, 0, gutter, height), expected), "");
    }
}
