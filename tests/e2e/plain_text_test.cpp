#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/messages.hpp"
#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

constexpr double POINTS = 7.0;  // the default font size

int widest(const std::string& font, double points, const std::vector<std::string>& rows)
{
    int width = 0;
    for (const std::string& row : rows) width = std::max(width, measure_string(font, points, row).width);
    return width;
}

// Line height of a page: the tallest sample character plus the line spacing.
int line_height(const std::string& font, double points, int line_spacing = 2)
{
    return measure_sample(font, points).height + line_spacing;
}

// Height of a cropped page whose lowest baseline is `baseline`: that row's descent is kept.
int cropped_height(const std::string& font, double points, int baseline)
{
    return baseline + measure_sample(font, points).descent + 1;
}

// Points GDFONTPATH somewhere else for as long as it lives.
class FontPathOverride {
public:
    explicit FontPathOverride(const std::string& path)
    {
        if (const char* old = std::getenv("GDFONTPATH")) saved_ = old;
        setenv("GDFONTPATH", path.c_str(), 1);
    }
    ~FontPathOverride()
    {
        if (saved_) setenv("GDFONTPATH", saved_->c_str(), 1);
        else unsetenv("GDFONTPATH");
    }

private:
    std::optional<std::string> saved_;
};

const std::string FIXTURES = VEDAD_FIXTURE_DIR "/plain/";

}  // namespace

TEST(PlainTextRun, EachLineIsOneRowOnItsBaselineCroppedToTheText)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string input;
        std::vector<std::string> rows;
        std::string font;
        double points;
        int line_spacing;
        int background;
        int foreground;
        bool crop;
    };
    const int black = rgb(0, 0, 0);
    const int white = rgb(255, 255, 255);
    const Case cases[] = {
        {{}, "Hello, world\n\nab\tc &amp; d\nlast", {"Hello, world", "", "ab      c &amp; d", "last"}, "Courier",
         POINTS, 2, black, white, true},
        {{}, "one\r\ntwo\r\n", {"one", "two"}, "Courier", POINTS, 2, black, white, true},
        // Cell settings give plain text no spacing of its own; only the line spacing counts.
        {{"--foreground=ff8000", "--background=000080", "--linespacing=5", "--charspacing=9", "--tab=3", "--fixed"},
         "colours\nand spacing\n", {"colours", "and spacing"}, "Courier", POINTS, 5, rgb(0, 0, 0x80),
         rgb(0xff, 0x80, 0), true},
        {{"--font-size=0.05"}, "bigger\ntext\n", {"bigger", "text"}, "Courier", 14.0, 2, black, white, true},
        {{"--font=FreeSans"}, "another\nfont\n", {"another", "font"}, "FreeSans", POINTS, 2, black, white, true},
        {{"--no-crop"}, "whole\npage\n", {"whole", "page"}, "Courier", POINTS, 2, black, white, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        TempDir dir;
        write_file(dir / "page.txt", c.input);
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("page.txt");
        RunResult result = run_vedad(dir.path(), arguments);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "writing page.png\n");
        EXPECT_FALSE(png_has_alpha(dir / "page.png"));

        const int height = line_height(c.font, c.points, c.line_spacing);
        const int crop_width = c.crop ? widest(c.font, c.points, c.rows) : 640;
        const int crop_height =
            c.crop ? cropped_height(c.font, c.points, height * static_cast<int>(c.rows.size())) : 480;
        const Image expected =
            draw_rows(crop_width, crop_height, c.background, c.foreground, c.font, c.points, height, c.rows);
        EXPECT_EQ(compare_images(read_png(dir / "page.png"), expected), "");
    }
}

TEST(PlainTextRun, TabsReachTheNextStop)
{
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        std::vector<std::string> rows;
    } cases[] = {
        {{}, "a\tb\nabc\td\n\xc3\xa9\tx\ne\tx\nno tab here\n",
         {"a       b", "abc     d", "\xc3\xa9       x", "e       x", "no tab here"}},
        {{"--tab=4"}, "a\tb\nabc\td\n\t\tx\n", {"a   b", "abc d", "        x"}},
        {{"--tab=4", "--fixed", "--charspacing=5"}, "a\tb\nabc\td\n", {"a   b", "abc d"}},
        {{"--tab=0"}, "a\tb\n\tc\t\n", {"ab", "c"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        TempDir dir;
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("-");
        const RunResult result = run_vedad(dir.path(), arguments, c.input);
        ASSERT_EQ(result.status, 0) << result.err;
        const int height = line_height("Courier", POINTS);
        const Image expected = draw_rows(widest("Courier", POINTS, c.rows),
                                         cropped_height("Courier", POINTS, height * static_cast<int>(c.rows.size())),
                                         rgb(0, 0, 0), rgb(255, 255, 255), "Courier", POINTS, height, c.rows);
        EXPECT_EQ(compare_images(read_png(dir / "stdin.png"), expected), "");
    }
}

TEST(PlainTextRun, EveryPageIsSetUpAfresh)
{
    TempDir dir;
    write_file(dir / "first.txt", "a first page\nwith several\nrows\n\n\n");
    write_file(dir / "second.txt", "Wm\n");
    write_file(dir / "third.txt", "Wm\n");
    RunResult result = run_vedad(dir.path(), {"first.txt", "second.txt", "third.txt"});
    ASSERT_EQ(result.status, 0) << result.err;

    const int height = line_height("Courier", POINTS);
    const Image expected = draw_rows(widest("Courier", POINTS, {"Wm"}), cropped_height("Courier", POINTS, height),
                                     rgb(0, 0, 0), rgb(255, 255, 255), "Courier", POINTS, height, {"Wm"});
    EXPECT_EQ(compare_images(read_png(dir / "second.png"), expected), "");
    EXPECT_EQ(compare_images(read_png(dir / "third.png"), expected), "");
}

TEST(PlainTextRun, CropSizesAndVerboseMessages)
{
    const int height = line_height("Courier", POINTS);
    const int abc = widest("Courier", POINTS, {"abc"});
    const std::string& tall = TOO_TALL_WARNING;
    const std::string& empty = EMPTY_CROP_WARNING;
    struct Case {
        std::vector<std::string> arguments;
        std::string input;
        std::string configured;  // the size the format line names
        int width;
        int height;
        std::string cropping;  // what cropping says under --verbose
    };
    const std::string abc_wide = std::to_string(abc);
    const int one_row = cropped_height("Courier", POINTS, height);
    const std::string one_row_high = std::to_string(one_row);
    const Case cases[] = {
        {{}, "abc\n", "640x480", abc, one_row, "cropping image to " + abc_wide + "x" + one_row_high + " pixels\n"},
        // Two rows of 9 pixels fit with their descenders, two more are cut.
        {{"--height=20"}, "abc\nabc\nabc\nabc\n", "640x20", abc, 20,
         "warning: text cut at the bottom (2 more rows)\n" + tall + "cropping image to " + abc_wide + "x20 pixels\n"},
        // Only the last row's descent is cut off: the image is too small all the same.
        {{"--height=" + std::to_string(one_row - 1)}, "abc\n", "640x" + std::to_string(one_row - 1), abc, one_row - 1,
         "warning: text cut at the bottom (1 more rows)\n" + tall + "cropping image to " + abc_wide + "x" +
             std::to_string(one_row - 1) + " pixels\n"},
        {{"--width=7"}, "a much wider line\n", "7x480", 7, one_row,
         "warning: text cut at the right edge (1 of 1 rows)\ncropping image to 7x" + one_row_high + " pixels\n"},
        {{}, "", "640x480", 640, 480, "cropping image to 0x0 pixels\n" + empty},
        {{}, "\n\n", "640x480", 640, 480,
         "cropping image to 0x" + std::to_string(cropped_height("Courier", POINTS, 2 * height)) + " pixels\n" + empty},
        {{"--linespacing=-1000"}, "abc\nabc\n", "640x480", 640, 480,
         "cropping image to " + abc_wide + "x0 pixels\n" + empty},
    };
    for (const Case& c : cases) {
        for (const bool verbose : {false, true}) {
            SCOPED_TRACE(testing::Message() << '"' << c.input << "\" verbose " << verbose);
            TempDir dir;
            write_file(dir / "in.txt", c.input);
            std::vector<std::string> arguments = c.arguments;
            if (verbose) arguments.push_back("--verbose");
            arguments.push_back("in.txt");
            RunResult result = run_vedad(dir.path(), arguments);
            ASSERT_EQ(result.status, 0) << result.err;
            Image image = read_png(dir / "in.png");
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(gdImageSX(image.get()), c.width);
            EXPECT_EQ(gdImageSY(image.get()), c.height);
            if (!verbose) {
                EXPECT_EQ(result.err, cut_text_warnings_of(c.cropping) + "writing in.png\n");
                continue;
            }
            EXPECT_EQ(result.err, "output format: ARGB32 " + c.configured + " pixels\nreading in.txt\n" + DEFAULT_FONT_LINE + c.cropping +
                                      "writing in.png\n");
        }
    }
}

TEST(PlainTextRun, AnEmptyPageKeepsItsBackground)
{
    TempDir dir;
    write_file(dir / "empty.txt", "");
    RunResult result = run_vedad(dir.path(), {"--background=102030", "--width=50", "--height=40", "empty.txt"});
    ASSERT_EQ(result.status, 0) << result.err;
    Image image = read_png(dir / "empty.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(gdImageSX(image.get()), 50);
    EXPECT_EQ(gdImageSY(image.get()), 40);
    EXPECT_EQ(count_other_pixels(image, rgb(0x10, 0x20, 0x30), 0, 0, 50, 40), 0);
}

TEST(PlainTextRun, AFontThatCannotBeMeasuredStopsBeforeAnyPicture)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"--font=NoSuchFont"}, metrics_error("NoSuchFont", "Could not find/open font")},
        // Only the exact name "default" means Courier.
        {{"--font=Default"}, metrics_error("Default", "Could not find/open font")},
        // A file that is not a font fails while measuring, before anything is drawn.
        {{"--font=" + FIXTURES + "not-a-font.ttf"}, metrics_error(FIXTURES + "not-a-font.ttf", "Could not read font")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        TempDir dir;
        write_file(dir / "a.txt", "abc\n");
        write_file(dir / "b.txt", "def\n");
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"a.txt", "b.txt"});
        RunResult result = run_vedad(dir.path(), arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(first_line(result.err), c.message);
        EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.txt", "b.txt"}));
    }
}

TEST(PlainTextRun, ARenderingFailureEndsTheRunAndKeepsEarlierPictures)
{
    // The sample measures fine in this font; only a 'z' cannot be drawn.
    TempDir dir;
    write_file(dir / "good.txt", "abc\n");
    write_file(dir / "bad.txt", "xyz\n");
    write_file(dir / "later.txt", "abc\n");
    RunResult result =
        run_vedad(dir.path(), {"--font=" + FIXTURES + "broken-z.ttf", "good.txt", "bad.txt", "later.txt"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "writing good.png\nerror: while rendering: Problem doing text layout\n");
    EXPECT_EQ(list_directory(dir.path()),
              (std::vector<std::string>{"bad.txt", "good.png", "good.txt", "later.txt"}));
}

TEST(PlainTextRun, TransparentPagesKeepTheTextColourAndCoverage)
{
    struct Case {
        std::vector<std::string> arguments;
        int foreground;
    };
    const Case cases[] = {
        {{}, rgb(255, 255, 255)},
        {{"--background=ff0000"}, rgb(255, 255, 255)},  // the background colour plays no part
        {{"--foreground=00c040"}, rgb(0, 0xc0, 0x40)},
        {{"--no-crop"}, rgb(255, 255, 255)},
    };
    const std::string input = "Transparent\n@_|#W\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.arguments.empty() ? "" : c.arguments[0]));
        TempDir dir;
        write_file(dir / "page.txt", input);
        // Large enough for strokes that cover whole pixels.
        std::vector<std::string> arguments = {"--font-size=0.1"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        arguments.push_back("page.txt");
        // The same page opaque, white on black, shows where the glyphs cover fully and where not at all.
        std::vector<std::string> opaque = arguments;
        opaque.insert(opaque.end(), {"--foreground=ffffff", "--background=000000", "--output=opaque.png"});
        arguments.insert(arguments.begin(), "--transparent");
        ASSERT_EQ(run_vedad(dir.path(), arguments).status, 0);
        ASSERT_EQ(run_vedad(dir.path(), opaque).status, 0);

        EXPECT_TRUE(png_has_alpha(dir / "page.png"));
        Image page = read_png(dir / "page.png");
        Image reference = read_png(dir / "opaque.png");
        ASSERT_NE(page, nullptr);
        ASSERT_NE(reference, nullptr);
        ASSERT_EQ(gdImageSX(page.get()), gdImageSX(reference.get()));
        ASSERT_EQ(gdImageSY(page.get()), gdImageSY(reference.get()));

        int covered = 0;
        int bare = 0;
        for (int y = 0; y < gdImageSY(page.get()); ++y) {
            for (int x = 0; x < gdImageSX(page.get()); ++x) {
                const int p = pixel(page, x, y);
                const int alpha = gdTrueColorGetAlpha(p);
                const int seen = pixel(reference, x, y);
                if (seen == rgb(0, 0, 0)) {
                    ++bare;
                    EXPECT_EQ(alpha, gdAlphaTransparent) << x << "," << y;
                } else if (seen == rgb(255, 255, 255)) {
                    ++covered;
                    EXPECT_EQ(p, c.foreground) << x << "," << y;  // opaque, in the text colour
                } else {
                    EXPECT_LT(alpha, gdAlphaTransparent) << x << "," << y;
                    EXPECT_GT(alpha, gdAlphaOpaque) << x << "," << y;
                    EXPECT_EQ(p & 0xffffff, c.foreground) << x << "," << y;
                }
            }
        }
        EXPECT_GT(covered, 0);
        EXPECT_GT(bare, covered);
    }
}

TEST(PlainTextRun, AnInputThatCannotBeReadIsAnError)
{
    TempDir dir;
    write_file(dir / "a.txt", "abc\n");
    write_file(dir / "c.txt", "abc\n");
    std::filesystem::create_directory(dir / "folder");
    RunResult result = run_vedad(dir.path(), {"a.txt", "folder", "c.txt"});
    EXPECT_EQ(result.status, 1);
    const std::string written = "writing a.png\n";
    ASSERT_EQ(result.err.substr(0, written.size()), written);
    const std::string error = result.err.substr(written.size());
    EXPECT_EQ(error.rfind("error: ", 0), 0u) << error;
    EXPECT_NE(error.find("folder"), std::string::npos) << error;
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    EXPECT_EQ(error.back(), '\n');
    EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.png", "a.txt", "c.txt", "folder"}));
}
