#include "cli/parse_options.hpp"

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/messages.hpp"

#include "base/options.hpp"

using namespace vedad;

namespace {

// An argument vector as main receives it; the records may point into its texts, so it
// must outlive them.
struct Arguments {
    explicit Arguments(const std::vector<std::string>& arguments) : texts{"vedad"}
    {
        texts.insert(texts.end(), arguments.begin(), arguments.end());
        for (std::string& text : texts) pointers.push_back(text.data());
        pointers.push_back(nullptr);
    }
    int32_t count() const { return static_cast<int32_t>(texts.size()); }
    char** vector() { return pointers.data(); }

    std::vector<std::string> texts;
    std::vector<char*> pointers;
};

struct Records {
    Options options;
    Canvas canvas;
    Records()
    {
        set_default_options(options);
        canvas_init(canvas);
    }
};

int32_t parse(Arguments& arguments, Records& records)
{
    return parse_options(arguments.count(), arguments.vector(), records.options, records.canvas);
}

std::string joined(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments) text += "[" + argument + "] ";
    return text;
}

void expect_same_rgb(const Rgb& got, const Rgb& want, const char* name)
{
    EXPECT_EQ(got.r, want.r) << name;
    EXPECT_EQ(got.g, want.g) << name;
    EXPECT_EQ(got.b, want.b) << name;
}

// Every field an option can write, so that a case also shows what an option leaves alone.
void expect_same(const Records& got, const Records& want)
{
    EXPECT_STREQ(got.options.output, want.options.output);
    EXPECT_EQ(got.options.html_input, want.options.html_input);
    EXPECT_EQ(got.options.ansi_input, want.options.ansi_input);
    EXPECT_EQ(got.options.crop, want.options.crop);
    EXPECT_EQ(got.options.height, want.options.height);
    EXPECT_EQ(got.options.overwrite, want.options.overwrite);
    EXPECT_EQ(got.options.transparent, want.options.transparent);
    EXPECT_EQ(got.options.width, want.options.width);
    EXPECT_EQ(got.options.silent, want.options.silent);
    EXPECT_EQ(got.options.verbose, want.options.verbose);
    expect_same_rgb(got.options.background, want.options.background, "background");
    expect_same_rgb(got.options.foreground, want.options.foreground, "foreground");
    EXPECT_EQ(got.canvas.tab_width, want.canvas.tab_width);
    EXPECT_EQ(got.canvas.fixed_advance, want.canvas.fixed_advance);
    EXPECT_EQ(got.canvas.bold, want.canvas.bold);
    EXPECT_EQ(got.canvas.line_spacing, want.canvas.line_spacing);
    EXPECT_EQ(got.canvas.char_spacing, want.canvas.char_spacing);
    EXPECT_EQ(got.canvas.font_size, want.canvas.font_size);
    EXPECT_STREQ(got.canvas.font_name, want.canvas.font_name);
    EXPECT_EQ(got.canvas.pixel_format, want.canvas.pixel_format);
}

struct ParseCase {
    std::vector<std::string> arguments;
    int32_t operands;
    void (*expect)(Options&, Canvas&);  // turns the defaults into the expected records
};

const ParseCase PARSE_CASES[] = {
    {{}, 0, [](Options&, Canvas&) {}},
    {{"a.txt", "b.txt"}, 2, [](Options&, Canvas&) {}},
    {{"-"}, 1, [](Options&, Canvas&) {}},
    {{""}, 1, [](Options&, Canvas&) {}},
    {{"a", "-", "", "--verbose", "b"}, 4, [](Options& o, Canvas&) { o.verbose = 1; }},

    // Flags.
    {{"--fixed"}, 0, [](Options&, Canvas& c) { c.fixed_advance = 1; }},
    {{"--verbose"}, 0, [](Options& o, Canvas&) { o.verbose = 1; }},
    {{"-v"}, 0, [](Options& o, Canvas&) { o.verbose = 1; }},
    {{"--html-input"}, 0, [](Options& o, Canvas&) { o.html_input = 1; }},
    {{"--ansi-input"}, 0, [](Options& o, Canvas&) { o.ansi_input = 1; }},
    {{"--ansi-input", "--html-input"}, 0, [](Options& o, Canvas&) { o.html_input = 1; }},
    {{"--html-input", "--ansi-input"}, 0, [](Options& o, Canvas&) { o.ansi_input = 1; }},
    {{"--silent"}, 0, [](Options& o, Canvas&) { o.silent = 1; }},
    {{"-s"}, 0, [](Options& o, Canvas&) { o.silent = 1; }},
    {{"--transparent"}, 0, [](Options& o, Canvas&) { o.transparent = 1; }},
    {{"--crop"}, 0, [](Options&, Canvas&) {}},
    {{"--no-crop"}, 0, [](Options& o, Canvas&) { o.crop = 0; }},
    {{"--no-crop", "--crop"}, 0, [](Options& o, Canvas&) { o.crop = 0; }},
    {{"--overwrite"}, 0, [](Options& o, Canvas&) { o.overwrite = 1; }},
    {{"--bold"}, 0, [](Options&, Canvas& c) { c.bold = 1; }},

    // Pixel format: any letter case; other values change nothing.
    {{"--format=a8"}, 0, [](Options&, Canvas& c) { c.pixel_format = PIXEL_FORMAT_A8; }},
    {{"--format=Rgb24"}, 0, [](Options&, Canvas& c) { c.pixel_format = PIXEL_FORMAT_RGB24; }},
    {{"--format=a8", "--format=ARGB32"}, 0, [](Options&, Canvas& c) { c.pixel_format = PIXEL_FORMAT_ARGB32; }},
    {{"--format=rgb24", "--format=png"}, 0, [](Options&, Canvas& c) { c.pixel_format = PIXEL_FORMAT_RGB24; }},
    {{"--format=rgb24", "--format="}, 0, [](Options&, Canvas& c) { c.pixel_format = PIXEL_FORMAT_RGB24; }},
    {{"--format=rgb24x"}, 0, [](Options&, Canvas&) {}},

    // Integers: read as atoi reads them, clamped to 32 bits.
    {{"--tab=4"}, 0, [](Options&, Canvas& c) { c.tab_width = 4; }},
    {{"--width=100", "--width=200"}, 0, [](Options& o, Canvas&) { o.width = 200; }},
    {{"--width=abc"}, 0, [](Options& o, Canvas&) { o.width = 0; }},
    {{"--width=800px"}, 0, [](Options& o, Canvas&) { o.width = 800; }},
    {{"--width=-5"}, 0, [](Options& o, Canvas&) { o.width = -5; }},
    {{"--width= +12"}, 0, [](Options& o, Canvas&) { o.width = 12; }},
    {{"--width="}, 0, [](Options& o, Canvas&) { o.width = 0; }},
    {{"--width=99999999999"}, 0, [](Options& o, Canvas&) { o.width = INT32_MAX; }},
    {{"--width=-99999999999"}, 0, [](Options& o, Canvas&) { o.width = INT32_MIN; }},
    {{"--height=300"}, 0, [](Options& o, Canvas&) { o.height = 300; }},
    {{"--height=99999999999999999999999"}, 0, [](Options& o, Canvas&) { o.height = INT32_MAX; }},
    {{"--linespacing=-4"}, 0, [](Options&, Canvas& c) { c.line_spacing = -4; }},
    {{"--charspacing=3"}, 0, [](Options&, Canvas& c) { c.char_spacing = 3; }},

    // Texts are taken as they are, the empty one included.
    {{"--font=FreeSans"}, 0, [](Options&, Canvas& c) { c.font_name = "FreeSans"; }},
    {{"--font="}, 0, [](Options&, Canvas& c) { c.font_name = ""; }},
    {{"--output=out.png"}, 0, [](Options& o, Canvas&) { o.output = "out.png"; }},
    {{"--output=out.png", "--output="}, 0, [](Options& o, Canvas&) { o.output = ""; }},

    // Colours: six characters, lower-case digits only, the rest counts 0.
    {{"--background=ffff00"}, 0, [](Options& o, Canvas&) { o.background = {255, 255, 0}; }},
    {{"--foreground=FFFF00"}, 0, [](Options& o, Canvas&) { o.foreground = {0, 0, 0}; }},
    {{"--foreground=fff"}, 0, [](Options& o, Canvas&) { o.foreground = {255, 240, 0}; }},
    {{"--background=#ffff00"}, 0, [](Options& o, Canvas&) { o.background = {15, 255, 240}; }},
    {{"--background=0a0b0cff"}, 0, [](Options& o, Canvas&) { o.background = {10, 11, 12}; }},
    {{"--background=  a0 ff"}, 0, [](Options& o, Canvas&) { o.background = {160, 0, 0}; }},

    // Size: both numbers, lower-case x right after the first; the last writer wins.
    {{"--size=800x600"}, 0, [](Options& o, Canvas&) { o.width = 800, o.height = 600; }},
    {{"--size=800x600px"}, 0, [](Options& o, Canvas&) { o.width = 800, o.height = 600; }},
    {{"--size= 800x 600"}, 0, [](Options& o, Canvas&) { o.width = 800, o.height = 600; }},
    {{"--size=-3x0"}, 0, [](Options& o, Canvas&) { o.width = -3, o.height = 0; }},
    {{"--size=800x600", "--width=100"}, 0, [](Options& o, Canvas&) { o.width = 100, o.height = 600; }},
    {{"--width=100", "--size=800x600"}, 0, [](Options& o, Canvas&) { o.width = 800, o.height = 600; }},
    {{"--size=99999999999x-99999999999"}, 0,
     [](Options& o, Canvas&) { o.width = INT32_MAX, o.height = INT32_MIN; }},

    {{"--font-size=0.5"}, 0, [](Options&, Canvas& c) { c.font_size = 0.5; }},
    {{"--font-size= -1e-3x"}, 0, [](Options&, Canvas& c) { c.font_size = -1e-3; }},

    // Options after the operands count as well.
    {{"a.txt", "--width=100", "b.txt", "-s"}, 2, [](Options& o, Canvas&) { o.width = 100, o.silent = 1; }},
};

}  // namespace

TEST(ParseOptions, EachOptionWritesItsOwnField)
{
    for (const ParseCase& test : PARSE_CASES) {
        SCOPED_TRACE(joined(test.arguments));
        Arguments arguments(test.arguments);
        Records got;
        Records want;
        test.expect(want.options, want.canvas);
        EXPECT_EQ(parse(arguments, got), test.operands);
        expect_same(got, want);
    }
}

TEST(ParseOptions, FontSizeTakesNotANumber)
{
    Arguments arguments({"--font-size=nan"});
    Records records;
    parse(arguments, records);
    EXPECT_TRUE(std::isnan(records.canvas.font_size));
}

TEST(ParseOptions, OutputFontAndColourTextsPointIntoTheArguments)
{
    Arguments arguments({"--output=out.png", "--font=FreeSans", "--background=#FF8800", "--foreground=fff"});
    Records records;
    EXPECT_EQ(records.options.background_text, nullptr);
    EXPECT_EQ(records.options.foreground_text, nullptr);
    parse(arguments, records);
    EXPECT_EQ(records.options.output, arguments.texts[1].data() + 9);
    EXPECT_EQ(records.canvas.font_name, arguments.texts[2].data() + 7);
    EXPECT_EQ(records.options.background_text, arguments.texts[3].data() + 13);
    EXPECT_EQ(records.options.foreground_text, arguments.texts[4].data() + 13);
}

namespace {

std::string regex_escaped(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (std::string(".[]()*+?{}|^$\\").find(c) != std::string::npos) escaped += '\\';
        escaped += c;
    }
    return escaped;
}

}  // namespace

TEST(ParseOptionsDeathTest, RefusesWhatMatchesNoOption)
{
    const std::vector<std::string> refused = {
        "--", "---", "-hv", "-vs", "-x", "-H", "--Help", "--verbose=1", "--widths", "--font-sizes=1", "--Size=8x6",
    };
    for (const std::string& argument : refused) {
        SCOPED_TRACE(argument);
        Arguments arguments({"a.txt", argument, "--help"});
        Records records;
        EXPECT_EXIT(parse(arguments, records), testing::ExitedWithCode(1),
                    "^error: unknown option " + regex_escaped(argument) + "\n\n" + vedad_test::VERSION_LINE_PATTERN);
    }
}

// An option that takes a value, written without its "=" or with a value its test cannot
// read, is told what it expects, before the usage text.
TEST(ParseOptionsDeathTest, SaysWhatAnOptionWithoutItsValueExpects)
{
    const std::string color = "a colour of six lower-case hex digits RRGGBB";
    const std::string pixels = "a number of pixels";
    const std::string size = "WIDTHxHEIGHT";
    const std::string font_size = "a fraction of 280 points";
    const struct {
        std::string argument;
        std::string option;
        std::string expects;
    } cases[] = {
        {"--background", "--background=", color},
        {"--background=", "--background=", color},
        {"--background=   ", "--background=", color},
        {"--foreground", "--foreground=", color},
        {"--foreground=", "--foreground=", color},
        {"--charspacing", "--charspacing=", pixels},
        {"--font", "--font=", "a font file or name"},
        {"--font-size", "--font-size=", font_size},
        {"--font-size=", "--font-size=", font_size},
        {"--font-size=abc", "--font-size=", font_size},
        {"--format", "--format=", "argb32, rgb24 or a8"},
        {"--height", "--height=", pixels},
        {"--linespacing", "--linespacing=", pixels},
        {"--output", "--output=", "a file or directory name"},
        {"--size", "--size=", size},
        {"--size=800X600", "--size=", size},
        {"--size=800", "--size=", size},
        {"--size=x600", "--size=", size},
        {"--size=800x", "--size=", size},
        {"--size=800 x600", "--size=", size},
        {"--tab", "--tab=", "a number of spaces"},
        {"--width", "--width=", pixels},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.argument);
        // An output name after a bare option is not its value.
        Arguments arguments({"a.txt", test.argument, "out.png", "--help"});
        Records records;
        const std::string option = regex_escaped(test.option);
        EXPECT_EXIT(parse(arguments, records), testing::ExitedWithCode(1),
                    "^error: " + option + " expects " + regex_escaped(test.expects) + ", as in " + option +
                        "[^\n ]+\n\n" + regex_escaped("vedad " VEDAD_VERSION "\n"));
    }
}

TEST(ParseOptionsDeathTest, HelpAndVersionEndTheRunAtOnce)
{
    const struct {
        std::vector<std::string> arguments;
        std::string first_lines;
    } cases[] = {
        {{"--help", "--bogus"}, "^" + vedad_test::VERSION_LINE_PATTERN + "Copyright[^\n]*\n[^\n]*\n\nUsage: "},
        {{"a.txt", "-h"}, "^" + vedad_test::VERSION_LINE_PATTERN + "Copyright[^\n]*\n[^\n]*\n\nUsage: "},
        {{"--version", "--help"}, "^" + vedad_test::VERSION_LINE_PATTERN + "Copyright[^\n]*\n[^\n]*\ngd version: "},
        {{"-V", "--bogus"}, "^" + vedad_test::VERSION_LINE_PATTERN + "Copyright[^\n]*\n[^\n]*\ngd version: "},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(joined(test.arguments));
        Arguments arguments(test.arguments);
        Records records;
        EXPECT_EXIT(parse(arguments, records), testing::ExitedWithCode(0), test.first_lines);
    }
}

TEST(IsFileOperand, DashAloneAndEmptyAreOperands)
{
    EXPECT_TRUE(is_file_operand("-"));
    EXPECT_TRUE(is_file_operand(""));
    EXPECT_TRUE(is_file_operand("a-b"));
    EXPECT_FALSE(is_file_operand("--"));
    EXPECT_FALSE(is_file_operand("-x"));
}
