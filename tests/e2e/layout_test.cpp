// Layout options: --margin pads the finished picture, --scale draws the same layout denser.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

#include "support/launch.hpp"
#include "support/messages.hpp"
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

// The top left `width` x `height` pixels of `image`.
Image top_left(const Image& image, int width, int height)
{
    Image part(gdImageCreateTrueColor(width, height));
    gdImageAlphaBlending(part.get(), 0);
    gdImageCopy(part.get(), image.get(), 0, 0, 0, 0, width, height);
    return part;
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

// A scaled picture is exactly N times the picture at scale 1 each way, whatever reads the
// input and frames the page; its glyphs are drawn at N times the point size, not enlarged.
TEST(Layout, ScaleMultipliesThePictureExactly)
{
    TempDir dir;
    const std::string terminal = "\x1b[31mred\x1b[0m plain\r\n\x1b[44mblue ground\x1b[0m\r\n";
    const struct {
        std::vector<std::string> arguments;
        std::string input;
    } cases[] = {
        {{}, TEXT},
        {{"--fit"}, TEXT},
        {{"--margin=3"}, TEXT},
        {{"--no-crop", "--size=100x40"}, TEXT},
        {{"--linespacing=5", "--charspacing=1", "--width=90"}, TEXT},
        {{"--window", "--padding=4,6", "--fit"}, TEXT},
        {{"--html-input", "--fixed"}, SPANS},
        {{"--html-input", "--fixed", "--fit", "--margin=2", "--window=plain"}, SPANS},
        {{"--ansi-input"}, terminal},
        {{"--line-numbers=9", "--fit", "--padding=3"}, TEXT},
        {{"--ansi-input", "--line-numbers", "--columns=4", "--pretty", "--scale=1"}, terminal},
        {{"--ansi-input", "--fit", "--window", "--radius=5", "--shadow=6,2", "--margin=10"}, terminal},
    };
    for (const auto& c : cases) {
        const Image one = convert(dir, c.arguments, c.input);
        ASSERT_NE(one, nullptr);
        for (const int scale : {2, 3}) {
            std::vector<std::string> arguments = c.arguments;
            arguments.push_back("--scale=" + std::to_string(scale));
            SCOPED_TRACE(testing::PrintToString(arguments));
            const Image scaled = convert(dir, arguments, c.input);
            ASSERT_NE(scaled, nullptr);
            EXPECT_EQ(gdImageSX(scaled.get()), scale * gdImageSX(one.get()));
            EXPECT_EQ(gdImageSY(scaled.get()), scale * gdImageSY(one.get()));
        }
    }
    // Scale 1 is the picture without the option.
    EXPECT_EQ(compare_images(convert(dir, {"--scale=1"}, TEXT), convert(dir, {}, TEXT)), "");
}

// The glyphs of a scaled page are drawn at the larger point size: a single character in a
// cell of its own is the character drawn at twice the size, not the small one enlarged.
TEST(Layout, ScaledGlyphsAreDrawnAtTheLargerPointSize)
{
    TempDir dir;
    const Image scaled = convert(dir, {"--scale=2", "--no-crop", "--size=40x30", "--linespacing=0"}, "H\n");
    ASSERT_NE(scaled, nullptr);
    const TextSize sample = measure_sample("Courier", 7.0);
    const Image by_hand = draw_rows(80, 60, rgb(0, 0, 0), rgb(255, 255, 255), "Courier", 14.0, 2 * sample.height, {"H"});
    EXPECT_EQ(compare_images(scaled, by_hand), "");
}

// A scaled row keeps N times its laid-out length: each glyph stands N times as far along as at
// scale 1, so a long row of a proportional font is neither cut at the picture's right edge
// nor shortened, though the larger glyphs' own advances add up to another length.
TEST(Layout, ScaledRowsKeepTheirLaidOutLength)
{
    TempDir dir;
    const std::string row = "The quick brown fox jumps over the lazy dog (retrying in 5s), 1234567890 times.\n";
    // The column after the last one with ink, scanning every row.
    auto ink_end = [](const Image& image) {
        const int background = gdImageGetTrueColorPixel(image.get(), 0, 0);
        int end = 0;
        for (int y = 0; y < gdImageSY(image.get()); ++y)
            for (int x = 0; x < gdImageSX(image.get()); ++x)
                if (gdImageGetTrueColorPixel(image.get(), x, y) != background) end = std::max(end, x + 1);
        return end;
    };
    for (const std::string font : {"--font=FreeSans", "--font=Courier", "--font=FreeSerif"}) {
        for (const std::string size : {"--font-size=0.031", "--font-size=0.047"}) {
            const std::vector<std::string> arguments{font, size, "--fit", "--margin=4"};
            const Image one = convert(dir, arguments, row);
            ASSERT_NE(one, nullptr);
            for (const int scale : {2, 3}) {
                std::vector<std::string> scaled_arguments = arguments;
                scaled_arguments.push_back("--scale=" + std::to_string(scale));
                SCOPED_TRACE(testing::PrintToString(scaled_arguments));
                const Image scaled = convert(dir, scaled_arguments, row);
                ASSERT_NE(scaled, nullptr);
                // The last glyph's pen lands exactly; its ink may start a pixel or two apart.
                EXPECT_NEAR(ink_end(scaled), scale * ink_end(one), scale + 1);
                EXPECT_LE(ink_end(scaled), gdImageSX(scaled.get()) - scale * 4);
            }
        }
    }
}

// Scaled text shapes its clusters as unscaled text does: a letter and its combining accent
// come out as the font's composed letter in rows, span cells and terminal cells alike.
TEST(Layout, ScaledClustersAreShaped)
{
    TempDir dir;
    const std::string span = "<span style='color:#ffffff'>";
    for (const std::vector<std::string>& form : {std::vector<std::string>{}, {"--ansi-input"}}) {
        SCOPED_TRACE(testing::PrintToString(form));
        std::vector<std::string> arguments = form;
        arguments.push_back("--scale=2");
        const Image composed = convert(dir, arguments, "caf\u00e9 x\n");
        const Image joined = convert(dir, arguments, "cafe\u0301 x\n");
        ASSERT_TRUE(composed != nullptr && joined != nullptr);
        EXPECT_EQ(compare_images(joined, composed), "");
    }
    const Image composed = convert(dir, {"--html-input", "--scale=2"}, span + "\u00e9</span>" + span + "x</span><br/>\n");
    const Image joined = convert(dir, {"--html-input", "--scale=2"}, span + "e\u0301</span>" + span + "x</span><br/>\n");
    ASSERT_TRUE(composed != nullptr && joined != nullptr);
    EXPECT_EQ(compare_images(joined, composed), "");
}

// --scale, --margin and --max-pixels take a whole number in range and nothing else: no
// exponent, fraction or unit is read as a number.
TEST(Layout, ScaleMarginOrMaxPixelsNotAWholeNumberInRangeEndsTheRun)
{
    TempDir dir;
    write_file(dir / "a.txt", "a\n");
    const std::string scale_error = "error: --scale= expects a whole number from 1 to 8, as in --scale=2\n";
    const std::string margin_error = "error: --margin= expects a number of pixels from 0, as in --margin=8\n";
    const std::string pixels_error =
        "error: --max-pixels= expects a number of pixels from 1, as in --max-pixels=50000000\n";
    const struct {
        std::string option;
        std::string err;
    } cases[] = {
        {"--scale=0", scale_error}, {"--scale=9", scale_error}, {"--scale=-2", scale_error},
        {"--scale=two", scale_error}, {"--scale=2.5", scale_error}, {"--scale=2abc", scale_error},
        {"--margin=-1", margin_error}, {"--margin=1e1", margin_error}, {"--margin=8px", margin_error},
        {"--max-pixels=0", pixels_error}, {"--max-pixels=1e8", pixels_error},
    };
    for (const auto& c : cases) {
        const RunResult result = run_vedad(dir.path(), {c.option, "a.txt"});
        EXPECT_EQ(result.status, 1) << c.option;
        EXPECT_EQ(result.err, c.err) << c.option;
    }
    EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
}

namespace {

std::string lines(int count, const std::string& row)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += row + std::to_string(i) + "\n";
    return text;
}

// What a shell command prints on standard output and error together, and its exit status.
std::pair<int, std::string> shell(const std::string& command)
{
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

}  // namespace

// --fit gives the picture that a canvas known to be large enough gives after cropping.
TEST(Layout, FitHoldsEveryRow)
{
    TempDir dir;
    const std::string wide = std::string(200, 'w') + "gjpqy\n";
    const std::string spans = SPANS + "<br/>" + SPANS;
    const std::string ansi = "\x1b[31mred\x1b[44m on blue\x1b[0m\n" + lines(300, "row ");
    const struct {
        std::vector<std::string> arguments;
        std::string input;
    } cases[] = {
        {{}, wide},
        {{}, lines(1000, "line ")},
        {{"--transparent"}, lines(100, "pig ") + wide},
        {{"--linespacing=-3"}, lines(80, "deep gjpq ")},
        {{"--html-input", "--fixed"}, spans},
        {{"--html-input"}, "no html here\n" + wide},
        {{"--ansi-input"}, ansi},
    };
    for (const auto& c : cases) {
        std::vector<std::string> fitted = c.arguments;
        fitted.push_back("--fit");
        std::vector<std::string> large = c.arguments;
        large.push_back("--size=2000x12000");
        const Image image = convert(dir, fitted, c.input);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(compare_images(image, convert(dir, large, c.input)), "") << testing::PrintToString(c.arguments);
    }
    // Only one warning of the span reader, though the page is read twice.
    const RunResult result = run_vedad(dir.path(), {"--html-input", "--fit", "-"}, "plain\n");
    EXPECT_EQ(result.err, "vedad warning: file does not look like HTML, parsing as text\nwriting stdin.png\n");
}

// --fit reads standard input again from where the run found it, not from the start of the
// file it is redirected from: the picture is the one of what follows.
TEST(Layout, FitReadsStandardInputFromWhereItStood)
{
    TempDir dir;
    const std::string first = "a first line, wider than the next, that another program has read\n";
    write_file(dir / "two.txt", first + "second\n");
    write_file(dir / "second.txt", "second\n");
    const std::string vedad = VEDAD_BINARY;
    const auto [status, output] = shell("cd " + dir.path().string() + " && { head -c " + std::to_string(first.size()) +
                                        " >/dev/null; " + vedad + " --fit --output=rest.png -; } < two.txt");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, "writing rest.png\n");
    ASSERT_EQ(run_vedad(dir.path(), {"--fit", "second.txt"}).status, 0);
    EXPECT_EQ(compare_images(read_png(dir / "rest.png"), read_png(dir / "second.png")), "");
}

// With --fit the size is a limit: text beyond it is cut as without --fit, also where the
// picture is not cropped to the text. The text is wider and taller than every limit here.
TEST(Layout, FitStopsAtTheLimit)
{
    TempDir dir;
    const std::string text = lines(200, std::string(200, 'x'));
    for (const std::string size : {"--size=300x100", "--width=50", "--height=40"}) {
        for (const bool crop : {true, false}) {
            std::vector<std::string> arguments = {size};
            if (!crop) arguments.push_back("--no-crop");
            const Image cut = convert(dir, arguments, text);
            arguments.push_back("--fit");
            const Image fitted = convert(dir, arguments, text);
            EXPECT_EQ(compare_images(fitted, cut), "") << testing::PrintToString(arguments);
        }
    }
    const Image fitted = convert(dir, {"--fit", "--scale=2", "--size=100x50"}, text);
    ASSERT_NE(fitted, nullptr);
    EXPECT_EQ(gdImageSX(fitted.get()), 200);
    EXPECT_EQ(gdImageSY(fitted.get()), 100);
}

// --max-pixels= bounds the whole picture, margin included: the one --fit sizes always (100
// million pixels unless the option says otherwise), a canvas of a given size only when the
// option is given. Rows are cut at the bottom first; a single row too wide for the budget is
// cut at the right. What stays is the top left of the page as it is drawn without a budget.
TEST(Layout, MaxPixelsBoundsThePictureMarginIncluded)
{
    TempDir dir;
    const std::string text = "abc\ndef\nghi\njkl\n";
    const Image page = convert(dir, {"--fit"}, text);
    const Image scaled = convert(dir, {"--fit", "--scale=2"}, text);
    const Image canvas = convert(dir, {"--size=100x50", "--no-crop"}, text);
    ASSERT_NE(page, nullptr);
    ASSERT_NE(scaled, nullptr);
    ASSERT_NE(canvas, nullptr);
    const int width = gdImageSX(page.get());
    const int height = gdImageSY(page.get());
    const int scaled_width = gdImageSX(scaled.get());
    ASSERT_GT(width, 2);
    ASSERT_GT(height, 10);  // else the cuts below cut nothing
    const auto pixels = [](int64_t count) { return "--max-pixels=" + std::to_string(count); };
    const struct {
        std::vector<std::string> arguments;
        const Image& page;  // the page drawn without a budget
        int width;          // of what stays of it
        int height;
        int margin;
    } cases[] = {
        {{"--fit", pixels(width * height)}, page, width, height, 0},
        {{"--fit", pixels(width * height - 1)}, page, width, height - 1, 0},
        {{"--fit", pixels(width * 10 + width - 1)}, page, width, 10, 0},
        {{"--fit", pixels(width - 1)}, page, width - 1, 1, 0},
        {{"--fit", pixels(1)}, page, 1, 1, 0},
        {{"--fit", "--margin=2", pixels((width + 4) * (10 + 4))}, page, width, 10, 2},
        {{"--fit", "--margin=3", pixels(49)}, page, 1, 1, 3},
        // The scaled margin counts.
        {{"--fit", "--scale=2", "--margin=1", pixels((scaled_width + 4) * (10 + 4))}, scaled, scaled_width, 10, 2},
        {{"--size=100x50", "--no-crop", pixels(1000)}, canvas, 100, 10, 0},
        {{"--size=100x50", "--no-crop", "--margin=1", pixels(99)}, canvas, 31, 1, 1},
        {{"--size=100x50", pixels(1000)}, page, width, 10, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const Image image = convert(dir, c.arguments, text);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(compare_images(image, padded(top_left(c.page, c.width, c.height), c.margin, rgb(0, 0, 0))), "");
    }

    // A margin that leaves no room for a single pixel ends the run before anything is drawn.
    write_file(dir / "a.txt", text);
    const struct {
        std::vector<std::string> arguments;
        std::string err;
    } refused[] = {
        {{"--fit", "--margin=3", pixels(48)},
         "error: a margin of 3 pixels makes a picture of more than 48 pixels; --max-pixels= allows more\n"},
        {{"--size=100x50", "--margin=3", pixels(48)},
         "error: a margin of 3 pixels makes a picture of more than 48 pixels; --max-pixels= allows more\n"},
        {{"--fit", "--margin=5000"},
         "error: a margin of 5000 pixels makes a picture of more than 100000000 pixels; --max-pixels= allows more\n"},
        {{"--fit", "--margin=2147483647"},
         "error: a margin of 2147483647 pixels makes a picture of more than 100000000 pixels; --max-pixels= allows "
         "more\n"},
        {{"--size=2147483647x2147483647", "--margin=2147483647", pixels(5)},
         "error: a margin of 2147483647 pixels makes a picture of more than 5 pixels; --max-pixels= allows more\n"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("a.txt");
        const RunResult result = run_vedad(dir.path(), arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, c.err);
        EXPECT_FALSE(std::filesystem::exists(dir / "a.png"));
    }

    // Without --max-pixels a canvas of a given size is made as asked, past the default budget.
    // Its header tells its size; decoding 400 MB of pixels would tell no more.
    const RunResult large = run_vedad(dir.path(), {"--size=10001x10000", "--no-crop", "a.txt"});
    ASSERT_EQ(large.status, 0) << large.err;
    const std::string png = read_file(dir / "a.png");
    ASSERT_GE(png.size(), 24u);
    const auto header_number = [&](size_t at) {
        uint32_t number = 0;
        for (size_t i = at; i < at + 4; ++i) number = number << 8 | static_cast<unsigned char>(png[i]);
        return number;
    };
    EXPECT_EQ(header_number(16), 10001u);
    EXPECT_EQ(header_number(20), 10000u);
}

namespace {

std::string span_row(int cells)
{
    std::string row;
    for (int i = 0; i < cells; ++i) row += "<span style='color:#ffffff; background-color:#336699'>w</span>";
    return row;
}

}  // namespace

// Text the canvas cuts is told after the picture, with advice, unless --silent; --verbose
// tells it in its own words.
TEST(Layout, CutTextIsToldUnlessSilent)
{
    TempDir dir;
    const std::string wide = std::string(150, 'w') + "\n";
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        std::string warnings;
    } cases[] = {
        {{}, "short\n", ""},
        {{}, wide + "short\n" + wide, "warning: text cut at the right edge (2 of 3 rows)\n"},
        // Four rows of 9 pixels and their descenders fit in 40.
        {{"--size=640x40"}, lines(10, "row "), "warning: text cut at the bottom (6 more rows)\n"},
        {{"--size=100x40"}, wide + lines(9, "r "),
         "warning: text cut at the right edge (1 of 4 rows)\nwarning: text cut at the bottom (6 more rows)\n"},
        {{"--fit"}, wide + lines(100, "row "), ""},
        {{"--html-input", "--fixed", "--size=40x40"}, span_row(12) + "<br/>" + span_row(2),
         "warning: text cut at the right edge (1 of 2 rows)\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> quiet = c.arguments;
        quiet.push_back("--overwrite");
        quiet.push_back("-");
        const RunResult plain = run_vedad(dir.path(), quiet, c.input);
        EXPECT_EQ(plain.err, cut_text_warnings_of(c.warnings) + "writing stdin.png\n")
            << testing::PrintToString(c.arguments);
        quiet.insert(quiet.begin(), "--silent");
        const RunResult silent = run_vedad(dir.path(), quiet, c.input);
        EXPECT_EQ(silent.status, 0);
        EXPECT_EQ(silent.err, "") << testing::PrintToString(c.arguments);

        std::vector<std::string> verbose = c.arguments;
        verbose.insert(verbose.begin(), "--verbose");
        verbose.push_back("--overwrite");
        verbose.push_back("-");
        const RunResult told = run_vedad(dir.path(), verbose, c.input);
        // The font line comes first, once per run.
        const size_t font = told.err.find("font: ", told.err.find("reading standard input\n"));
        ASSERT_NE(font, std::string::npos);
        const size_t start = told.err.find('\n', font) + 1;
        const size_t end = told.err.find("cropping image");
        std::string warnings = told.err.substr(start, end - start);
        const std::string tall = "warning: image output dimensions too small for entire input text\n";
        if (const size_t at = warnings.find(tall); at != std::string::npos) warnings.erase(at, tall.size());
        EXPECT_EQ(warnings, c.warnings) << testing::PrintToString(c.arguments);
    }
}

TEST(Layout, StandardOutputTakesThePictureOfOneInput)
{
    TempDir dir;
    write_file(dir / "a.txt", TEXT);
    write_file(dir / "b.txt", TEXT);
    ASSERT_EQ(run_vedad(dir.path(), {"a.txt"}).status, 0);

    Launch how;
    how.capture_out = true;
    const Outcome piped = launch(dir.path(), {"--output=-", "a.txt"}, how);
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.err, "writing (standard output)\n");
    write_file(dir / "piped.png", piped.out);
    EXPECT_EQ(compare_images(read_png(dir / "piped.png"), read_png(dir / "a.png")), "");

    const Outcome two = launch(dir.path(), {"--output=-", "a.txt", "b.txt"}, how);
    EXPECT_EQ(two.status, 1);
    EXPECT_EQ(two.err, "error: --output=- writes the picture of one input, not of 2\n");
    EXPECT_EQ(two.out, "");

    const std::string vedad = VEDAD_BINARY;
    const auto [terminal_status, terminal_out] =
        shell("cd " + dir.path().string() + " && script -qec '" + vedad + " --output=- a.txt' /dev/null");
    EXPECT_EQ(terminal_status, 1) << terminal_out;
    EXPECT_NE(terminal_out.find("error: refusing to write a PNG to a terminal"), std::string::npos) << terminal_out;

    const auto [closed_status, closed_out] = shell("cd " + dir.path().string() + " && bash -c 'set -o pipefail; " +
                                                   vedad + " --output=- --no-crop a.txt | true'");
    EXPECT_EQ(closed_status, 1);
    EXPECT_NE(closed_out.find("error: could not write (standard output): Broken pipe"), std::string::npos)
        << closed_out;
    EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.png", "a.txt", "b.txt", "piped.png"}));
}
