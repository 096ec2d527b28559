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

int32_t parse(Arguments& arguments, Options& options)
{
    Operands operands;
    parse_options(arguments.count(), arguments.vector(), options, operands);
    return static_cast<int32_t>(operands.size());
}

std::string joined(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments) text += "[" + argument + "] ";
    return text;
}

std::string text_of(const char* text)
{
    if (text == nullptr) return "(null)";
    std::string quoted = "\"";
    quoted.append(text).push_back('"');
    return quoted;
}

std::string color_of(const Rgb& rgb)
{
    return std::to_string(rgb.r) + "," + std::to_string(rgb.g) + "," + std::to_string(rgb.b);
}

// The whole record as text, every field by its name, texts by their content: a case shows
// what an option writes and, by the same line, everything it leaves alone.
std::string whole(const Options& o)
{
    // A field added to the records must be added here too.
    static_assert(sizeof(Options) == 400 && sizeof(DrawingSettings) == 104 && sizeof(FrameSettings) == 48 &&
                      sizeof(PlaybackSettings) == 48,
                  "describe every field");
    const DrawingSettings& d = o.drawing;
    std::string text;
    auto field = [&](const char* name, const std::string& value) { text += std::string(name) + "=" + value + " "; };
    field("output", text_of(o.output));
    field("input_form", std::to_string(static_cast<int>(o.input_form)));
    field("crop", std::to_string(o.crop));
    field("width", std::to_string(o.width));
    field("height", std::to_string(o.height));
    field("overwrite", std::to_string(o.overwrite));
    field("transparent", std::to_string(o.transparent));
    field("silent", std::to_string(o.silent));
    field("verbose", std::to_string(o.verbose));
    field("background", color_of(o.background));
    field("foreground", color_of(o.foreground));
    field("background_text", text_of(o.background_text));
    field("foreground_text", text_of(o.foreground_text));
    field("theme", text_of(o.theme));
    std::string basic;
    for (const Rgb& color : o.basic_colors) basic += color_of(color) + ";";
    field("basic_colors", basic);
    field("size_given", std::to_string(o.size_given));
    field("fit", std::to_string(o.fit));
    field("margin", std::to_string(o.margin));
    field("scale", std::to_string(o.scale));
    field("max_pixels", std::to_string(o.max_pixels));
    field("max_pixels_given", std::to_string(o.max_pixels_given));
    field("columns", std::to_string(o.columns));
    field("split_rows", std::to_string(o.split_rows));
    field("picture_type", std::to_string(static_cast<int>(o.picture_type)));
    field("picture_type_given", std::to_string(o.picture_type_given));
    field("svg_glyphs", std::to_string(o.svg_glyphs));
    field("jobs", std::to_string(o.jobs));
    field("execute", text_of(o.execute));
    field("rows", std::to_string(o.rows));
    field("timeout", std::to_string(o.timeout));
    field("prompt", text_of(o.prompt));
    field("screen", std::to_string(o.screen));
    field("tab_width", std::to_string(d.tab_width));
    field("fixed_advance", std::to_string(d.fixed_advance));
    field("bold", std::to_string(d.bold));
    field("line_spacing", std::to_string(d.line_spacing));
    field("char_spacing", std::to_string(d.char_spacing));
    field("font_size", std::to_string(d.font_size));
    field("size_scale", std::to_string(d.size_scale));
    field("font_name", text_of(d.font_name));
    field("fallback", std::to_string(d.fallback));
    field("ligatures", std::to_string(d.ligatures));
    field("fallback_fonts", text_of(d.fallback_fonts));
    field("bold_font", text_of(d.bold_font));
    field("italic_font", text_of(d.italic_font));
    field("bold_italic_font", text_of(d.bold_italic_font));
    field("pixel_format", std::to_string(d.pixel_format));
    field("min_contrast", std::to_string(d.min_contrast));
    const FrameSettings& f = o.frame;
    field("padding", std::to_string(f.padding_v) + "," + std::to_string(f.padding_h));
    field("window", std::to_string(static_cast<int>(f.window)));
    field("title", text_of(f.title));
    field("radius", std::to_string(f.radius));
    field("shadow", std::to_string(f.shadow) + ":" + std::to_string(f.shadow_blur) + "," + std::to_string(f.shadow_offset));
    field("line_numbers", std::to_string(f.line_numbers) + ":" + std::to_string(f.first_line_number));
    const PlaybackSettings& p = o.playback;
    field("playback", std::to_string(p.speed) + "," + std::to_string(p.idle_limit) + ":" + std::to_string(p.idle_limit_given) +
                          "," + std::to_string(p.fps_cap) + "," + std::to_string(p.last_frame) + "," +
                          std::to_string(p.loop) + "," + std::to_string(p.at));
    return text;
}

struct ParseCase {
    std::vector<std::string> arguments;
    int32_t operands;
    void (*expect)(Options&);  // turns the defaults into the expected record
};

const std::string MANY_E(300, 'e');

const ParseCase PARSE_CASES[] = {
    {{}, 0, [](Options&) {}},
    {{"a.txt", "b.txt"}, 2, [](Options&) {}},
    {{"-"}, 1, [](Options&) {}},
    {{""}, 1, [](Options&) {}},
    {{"a", "-", "", "--verbose", "b"}, 4, [](Options& o) { o.verbose = 1; }},

    // Flags.
    {{"--fixed"}, 0, [](Options& o) { o.drawing.fixed_advance = 1; }},
    {{"--verbose"}, 0, [](Options& o) { o.verbose = 1; }},
    {{"-v"}, 0, [](Options& o) { o.verbose = 1; }},
    {{"--html-input"}, 0, [](Options& o) { o.input_form = InputForm::SPAN_HTML; }},
    {{"--ansi-input"}, 0, [](Options& o) { o.input_form = InputForm::TERMINAL; }},
    {{"--ansi-input", "--html-input"}, 0, [](Options& o) { o.input_form = InputForm::SPAN_HTML; }},
    {{"--html-input", "--ansi-input"}, 0, [](Options& o) { o.input_form = InputForm::TERMINAL; }},
    {{"--silent"}, 0, [](Options& o) { o.silent = 1; }},
    {{"-s"}, 0, [](Options& o) { o.silent = 1; }},
    {{"--transparent"}, 0, [](Options& o) { o.transparent = 1; }},
    {{"--crop"}, 0, [](Options&) {}},
    {{"--no-crop"}, 0, [](Options& o) { o.crop = 0; }},
    {{"--no-crop", "--crop"}, 0, [](Options& o) { o.crop = 0; }},
    {{"--overwrite"}, 0, [](Options& o) { o.overwrite = 1; }},
    {{"--bold"}, 0, [](Options& o) { o.drawing.bold = 1; }},

    // Pixel format: any letter case; other values change nothing.
    {{"--format=a8"}, 0, [](Options& o) { o.drawing.pixel_format = PIXEL_FORMAT_A8; }},
    {{"--format=Rgb24"}, 0, [](Options& o) { o.drawing.pixel_format = PIXEL_FORMAT_RGB24; }},
    {{"--format=a8", "--format=ARGB32"}, 0, [](Options& o) { o.drawing.pixel_format = PIXEL_FORMAT_ARGB32; }},
    {{"--format=rgb24", "--format=png"}, 0, [](Options& o) { o.drawing.pixel_format = PIXEL_FORMAT_RGB24; }},
    {{"--format=rgb24", "--format="}, 0, [](Options& o) { o.drawing.pixel_format = PIXEL_FORMAT_RGB24; }},
    {{"--format=rgb24x"}, 0, [](Options&) {}},

    // Integers: read as atoi reads them, clamped to 32 bits.
    {{"--tab=4"}, 0, [](Options& o) { o.drawing.tab_width = 4; }},
    {{"--width=100", "--width=200"}, 0, [](Options& o) { o.width = 200, o.size_given = 1; }},
    {{"--width=abc"}, 0, [](Options& o) { o.width = 0, o.size_given = 1; }},
    {{"--width=800px"}, 0, [](Options& o) { o.width = 800, o.size_given = 1; }},
    {{"--width=-5"}, 0, [](Options& o) { o.width = -5, o.size_given = 1; }},
    {{"--width= +12"}, 0, [](Options& o) { o.width = 12, o.size_given = 1; }},
    {{"--width="}, 0, [](Options& o) { o.width = 0, o.size_given = 1; }},
    {{"--width=99999999999"}, 0, [](Options& o) { o.width = INT32_MAX, o.size_given = 1; }},
    {{"--width=-99999999999"}, 0, [](Options& o) { o.width = INT32_MIN, o.size_given = 1; }},
    {{"--height=300"}, 0, [](Options& o) { o.height = 300, o.size_given = 1; }},
    {{"--height=99999999999999999999999"}, 0, [](Options& o) { o.height = INT32_MAX, o.size_given = 1; }},
    {{"--linespacing=-4"}, 0, [](Options& o) { o.drawing.line_spacing = -4; }},
    {{"--charspacing=3"}, 0, [](Options& o) { o.drawing.char_spacing = 3; }},

    // Texts are taken as they are, the empty one included.
    {{"--font=FreeSans"}, 0, [](Options& o) { o.drawing.font_name = "FreeSans"; }},
    {{"--font="}, 0, [](Options& o) { o.drawing.font_name = ""; }},
    {{"--output=out.png"}, 0, [](Options& o) { o.output = "out.png"; }},
    {{"--output=out.png", "--output="}, 0, [](Options& o) { o.output = ""; }},

    // Colours: six hex digits of either case after an optional '#'; anything else counts 0.
    {{"--background=ffff00"}, 0, [](Options& o) { o.background = {255, 255, 0}, o.background_text = "ffff00"; }},
    {{"--foreground=FFFF00"}, 0, [](Options& o) { o.foreground = {255, 255, 0}, o.foreground_text = "FFFF00"; }},
    {{"--background=#1e1e1e"}, 0, [](Options& o) { o.background = {30, 30, 30}, o.background_text = "#1e1e1e"; }},
    {{"--background=1E1E1E"}, 0, [](Options& o) { o.background = {30, 30, 30}, o.background_text = "1E1E1E"; }},
    {{"--foreground=#1E1E1E"}, 0, [](Options& o) { o.foreground = {30, 30, 30}, o.foreground_text = "#1E1E1E"; }},
    {{"--foreground=fff"}, 0, [](Options& o) { o.foreground = {255, 240, 0}, o.foreground_text = "fff"; }},
    {{"--foreground=g0z9xy"}, 0, [](Options& o) { o.foreground = {0, 9, 0}, o.foreground_text = "g0z9xy"; }},
    {{"--background=12345678"}, 0,
     [](Options& o) { o.background = {0x12, 0x34, 0x56}, o.background_text = "12345678"; }},
    {{"--background=#12345678"}, 0,
     [](Options& o) { o.background = {0x12, 0x34, 0x56}, o.background_text = "#12345678"; }},
    {{"--background=" + MANY_E}, 0,
     [](Options& o) { o.background = {0xee, 0xee, 0xee}, o.background_text = MANY_E.c_str(); }},
    {{"--background=##ffff"}, 0, [](Options& o) { o.background = {15, 255, 240}, o.background_text = "##ffff"; }},
    {{"--background=0a0b0cff"}, 0, [](Options& o) { o.background = {10, 11, 12}, o.background_text = "0a0b0cff"; }},
    {{"--background=  a0 ff"}, 0, [](Options& o) { o.background = {160, 0, 0}, o.background_text = "  a0 ff"; }},

    // Size: both numbers, lower-case x right after the first; the last writer wins.
    {{"--size=800x600"}, 0, [](Options& o) { o.width = 800, o.height = 600, o.size_given = 1; }},
    {{"--size=800x600px"}, 0, [](Options& o) { o.width = 800, o.height = 600, o.size_given = 1; }},
    {{"--size= 800x 600"}, 0, [](Options& o) { o.width = 800, o.height = 600, o.size_given = 1; }},
    {{"--size=-3x0"}, 0, [](Options& o) { o.width = -3, o.height = 0, o.size_given = 1; }},
    {{"--size=800x600", "--width=100"}, 0, [](Options& o) { o.width = 100, o.height = 600, o.size_given = 1; }},
    {{"--width=100", "--size=800x600"}, 0, [](Options& o) { o.width = 800, o.height = 600, o.size_given = 1; }},
    {{"--size=99999999999x-99999999999"}, 0,
     [](Options& o) { o.width = INT32_MAX, o.height = INT32_MIN, o.size_given = 1; }},

    {{"--font-size=0.5"}, 0, [](Options& o) { o.drawing.font_size = 0.5; }},
    {{"--font-size= -1e-3x"}, 0, [](Options& o) { o.drawing.font_size = -1e-3; }},

    // Layout: the picture sized to the text, a margin, a denser drawing, a pixel budget. These
    // take whole numbers alone; anything else reads as a value out of range, which the checks
    // refuse.
    {{"--fit"}, 0, [](Options& o) { o.fit = 1; }},
    {{"--margin=8"}, 0, [](Options& o) { o.margin = 8; }},
    {{"--margin=0"}, 0, [](Options& o) { o.margin = 0; }},
    {{"--scale=2"}, 0, [](Options& o) { o.scale = 2; }},
    {{"--scale=9", "--scale=3"}, 0, [](Options& o) { o.scale = 3; }},
    {{"--columns=80"}, 0, [](Options& o) { o.columns = 80; }},
    {{"--columns=0"}, 0, [](Options& o) { o.columns = -1; }},
    {{"--columns=8O"}, 0, [](Options& o) { o.columns = -1; }},
    {{"--split=100"}, 0, [](Options& o) { o.split_rows = 100; }},
    {{"--type=WebP"}, 0, [](Options& o) { o.picture_type = PictureType::WEBP, o.picture_type_given = 1; }},
    {{"--type", "png"}, 0, [](Options& o) { o.picture_type_given = 1; }},
    {{"--split", "0"}, 0, [](Options& o) { o.split_rows = -1; }},
    {{"--jobs=4"}, 0, [](Options& o) { o.jobs = 4; }},
    {{"--jobs", "0"}, 0, [](Options& o) { o.jobs = 0; }},
    {{"--jobs=1025"}, 0, [](Options& o) { o.jobs = -1; }},
    {{"--jobs=-2"}, 0, [](Options& o) { o.jobs = -1; }},
    // A command is taken as it is, blanks and all, and --prompt takes a text only after '='.
    {{"--execute=ls -l"}, 0, [](Options& o) { o.execute = "ls -l"; }},
    {{"--execute", " ls"}, 0, [](Options& o) { o.execute = " ls"; }},
    {{"--prompt", "x"}, 1, [](Options& o) { o.prompt = "$ "; }},
    {{"--prompt="}, 0, [](Options& o) { o.prompt = ""; }},
    {{"--prompt=% "}, 0, [](Options& o) { o.prompt = "% "; }},
    {{"--screen", "--rows=30", "--timeout=5"}, 0, [](Options& o) { o.screen = 1, o.rows = 30, o.timeout = 5; }},
    {{"--asciicast", "--type=gif", "--speed=2.5", "--idle-limit", "0.5", "--fps-cap=12", "--last-frame=0", "--loop=3",
      "--at=1.25", "r.cast"},
     1,
     [](Options& o) {
         o.input_form = InputForm::RECORDING, o.picture_type = PictureType::GIF, o.picture_type_given = 1;
         o.playback = PlaybackSettings{2.5, 0.5, 0.0, 1.25, 1, 12, 3};
     }},
    {{"--svg-glyphs", "--type=svg"}, 0, [](Options& o) { o.svg_glyphs = 1, o.picture_type = PictureType::SVG, o.picture_type_given = 1; }},
    {{"--rows=65536"}, 0, [](Options& o) { o.rows = 0; }},
    {{"--timeout=1.5"}, 0, [](Options& o) { o.timeout = 0; }},
    {{"--max-pixels=1000"}, 0, [](Options& o) { o.max_pixels = 1000, o.max_pixels_given = 1; }},
    {{"--margin=-2"}, 0, [](Options& o) { o.margin = -1; }},
    {{"--margin=1e1"}, 0, [](Options& o) { o.margin = -1; }},
    {{"--margin=8px"}, 0, [](Options& o) { o.margin = -1; }},
    {{"--margin= 8"}, 0, [](Options& o) { o.margin = -1; }},
    {{"--margin="}, 0, [](Options& o) { o.margin = -1; }},
    {{"--margin=99999999999"}, 0, [](Options& o) { o.margin = -1; }},
    {{"--scale=2.5"}, 0, [](Options& o) { o.scale = 0; }},
    {{"--scale=2abc"}, 0, [](Options& o) { o.scale = 0; }},
    {{"--scale=9"}, 0, [](Options& o) { o.scale = 0; }},
    {{"--scale=+2"}, 0, [](Options& o) { o.scale = 0; }},
    {{"--max-pixels=1e8"}, 0, [](Options& o) { o.max_pixels = 0, o.max_pixels_given = 1; }},
    {{"--max-pixels=0"}, 0, [](Options& o) { o.max_pixels = 0, o.max_pixels_given = 1; }},

    // The frame. --pretty only lays down defaults, so any part given anywhere wins; a value that
    // happens to read "--pretty" is no --pretty.
    {{"--padding=6"}, 0, [](Options& o) { o.frame.padding_v = 6, o.frame.padding_h = 6; }},
    {{"--padding=6,10"}, 0, [](Options& o) { o.frame.padding_v = 6, o.frame.padding_h = 10; }},
    {{"--window"}, 0, [](Options& o) { o.frame.window = WindowStyle::MAC; }},
    {{"--window", "plain"}, 1, [](Options& o) { o.frame.window = WindowStyle::MAC; }},  // its value only after =
    {{"--title=", "--window=none"}, 0, [](Options& o) { o.frame.title = ""; }},
    {{"--shadow"}, 0, [](Options& o) { o.frame.shadow = 1; }},
    {{"--shadow=5"}, 0, [](Options& o) { o.frame.shadow = 1, o.frame.shadow_blur = 5; }},
    {{"--shadow=5,0"}, 0, [](Options& o) { o.frame.shadow = 1, o.frame.shadow_blur = 5, o.frame.shadow_offset = 0; }},
    {{"--radius=8"}, 0, [](Options& o) { o.frame.radius = 8; }},
    {{"--line-numbers"}, 0, [](Options& o) { o.frame.line_numbers = 1; }},
    {{"--line-numbers=0"}, 0, [](Options& o) { o.frame.line_numbers = 1, o.frame.first_line_number = 0; }},
    {{"--pretty"}, 0, [](Options& o) { set_pretty_defaults(o); }},
    {{"--margin=0", "--pretty", "--scale=1"}, 0, [](Options& o) { set_pretty_defaults(o), o.margin = 0, o.scale = 1; }},
    {{"--title", "--pretty", "a"}, 1, [](Options& o) { o.frame.title = "--pretty"; }},
    {{"--", "--pretty"}, 1, [](Options&) {}},

    // Fallback fonts: a list taken as it is, or none at all.
    {{"--fallback-font=A,/b.ttf"}, 0, [](Options& o) { o.drawing.fallback_fonts = "A,/b.ttf"; }},
    {{"--bold-font=FreeMonoBold", "--italic-font", "/i.ttf", "--bold-italic-font=B I"}, 0,
     [](Options& o) {
         o.drawing.bold_font = "FreeMonoBold";
         o.drawing.italic_font = "/i.ttf";
         o.drawing.bold_italic_font = "B I";
     }},
    {{"--no-fallback"}, 0, [](Options& o) { o.drawing.fallback = 0; }},
    {{"--ligatures"}, 0, [](Options& o) { o.drawing.ligatures = 1; }},
    {{"--no-fallback", "--fallback-font=A"}, 0,
     [](Options& o) { o.drawing.fallback = 0, o.drawing.fallback_fonts = "A"; }},

    // A theme is named here and read once the checks pass; a contrast ratio is a whole number
    // or not a number at all, and checked afterwards.
    {{"--theme=solarized-dark"}, 0, [](Options& o) { o.theme = "solarized-dark"; }},
    {{"--theme=a", "--theme=themes/b.json"}, 0, [](Options& o) { o.theme = "themes/b.json"; }},
    {{"--theme="}, 0, [](Options& o) { o.theme = ""; }},
    {{"--min-contrast=4.5"}, 0, [](Options& o) { o.drawing.min_contrast = 4.5; }},
    {{"--min-contrast=21"}, 0, [](Options& o) { o.drawing.min_contrast = 21; }},
    {{"--min-contrast=0"}, 0, [](Options& o) { o.drawing.min_contrast = 0; }},
    {{"--min-contrast=4.5x"}, 0, [](Options& o) { o.drawing.min_contrast = std::nan(""); }},
    {{"--min-contrast= 4.5"}, 0, [](Options& o) { o.drawing.min_contrast = std::nan(""); }},
    {{"--min-contrast="}, 0, [](Options& o) { o.drawing.min_contrast = std::nan(""); }},

    // Options after the operands count as well.
    {{"a.txt", "--width=100", "b.txt", "-s"}, 2, [](Options& o) { o.width = 100, o.silent = 1, o.size_given = 1; }},
};

}  // namespace

TEST(ParseOptions, EachOptionWritesItsOwnField)
{
    for (const ParseCase& test : PARSE_CASES) {
        SCOPED_TRACE(joined(test.arguments));
        Arguments arguments(test.arguments);
        Options got;
        Options want;
        test.expect(want);
        EXPECT_EQ(parse(arguments, got), test.operands);
        EXPECT_EQ(whole(got), whole(want));
    }
}

TEST(ParseOptions, FontSizeTakesNotANumber)
{
    Arguments arguments({"--font-size=nan"});
    Options options;
    parse(arguments, options);
    EXPECT_TRUE(std::isnan(options.drawing.font_size));
}

TEST(ParseOptions, OutputFontAndColourTextsPointIntoTheArguments)
{
    Arguments arguments({"--output=out.png", "--font=FreeSans", "--background=#FF8800", "--foreground=fff"});
    Options options;
    EXPECT_EQ(options.background_text, nullptr);
    EXPECT_EQ(options.foreground_text, nullptr);
    parse(arguments, options);
    EXPECT_EQ(options.output, arguments.texts[1].data() + 9);
    EXPECT_EQ(options.drawing.font_name, arguments.texts[2].data() + 7);
    EXPECT_EQ(options.background_text, arguments.texts[3].data() + 13);
    EXPECT_EQ(options.foreground_text, arguments.texts[4].data() + 13);
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
        "---", "-hv", "-vs", "-x", "-H", "--Help", "--verbose=1", "--widths", "--font-sizes=1", "--Size=8x6",
    };
    for (const std::string& argument : refused) {
        SCOPED_TRACE(argument);
        Arguments arguments({"a.txt", argument, "--help"});
        Options options;
        EXPECT_EXIT(parse(arguments, options), testing::ExitedWithCode(1),
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
        std::string argument;  // alone, it ends the command line
        std::string option;
        std::string expects;
    } cases[] = {
        {"--background", "--background=", color},
        {"--background=", "--background=", color},
        {"--background=   ", "--background=", color},
        {"--foreground", "--foreground=", color},
        {"--foreground=", "--foreground=", color},
        {"--charspacing", "--charspacing=", pixels},
        {"--fallback-font", "--fallback-font=", "font names or files separated by commas"},
        {"--font", "--font=", "a font file or name"},
        {"--font-size", "--font-size=", font_size},
        {"--font-size=", "--font-size=", font_size},
        {"--font-size=abc", "--font-size=", font_size},
        {"--format", "--format=", "argb32, rgb24 or a8"},
        {"--height", "--height=", pixels},
        {"--linespacing", "--linespacing=", pixels},
        {"--list-fonts=mono", "--list-fonts=", "the word all"},
        {"--margin", "--margin=", "a number of pixels from 0"},
        {"--output", "--output=", "a file or directory name"},
        {"--scale", "--scale=", "a whole number from 1 to 8"},
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
        // A bare option takes the next argument as its value: here there is none.
        const bool bare = test.argument.find('=') == std::string::npos;
        Arguments arguments(bare ? std::vector<std::string>{"a.txt", test.argument}
                                 : std::vector<std::string>{"a.txt", test.argument, "out.png", "--help"});
        Options options;
        const std::string option = regex_escaped(test.option);
        EXPECT_EXIT(parse(arguments, options), testing::ExitedWithCode(1),
                    "^error: " + option + " expects " + regex_escaped(test.expects) + ", as in " + option +
                        "[^\n ]+\n\n" + regex_escaped("vedad " VEDAD_VERSION "\n"));
    }
}

// Every option that takes a value takes it from the next argument when written alone, as
// it takes it after its "=": the same record, and the value is no operand, whatever it looks
// like.
TEST(ParseOptions, ValueOptionsTakeTheNextArgumentAsTheirValue)
{
    const struct {
        std::string option;  // with its "="
        std::string value;
    } cases[] = {
        {"--background=", "ffff00"},
        {"--charspacing=", "3"},
        {"--fallback-font=", "A,/b.ttf"},
        {"--font=", "DejaVu Sans Mono"},
        {"--font=", ""},
        {"--font-size=", "0.05"},
        {"--foreground=", "0b5394"},
        {"--format=", "rgb24"},
        {"--height=", "300"},
        {"--linespacing=", "-4"},
        {"--margin=", "8"},
        {"--output=", "pics"},
        {"--output=", "-"},
        {"--output=", "--"},
        {"--output=", "--width=5"},
        {"--scale=", "2"},
        {"--size=", "800x600"},
        {"--tab=", "4"},
        {"--width=", "800"},
    };
    for (const auto& test : cases) {
        const std::string bare = test.option.substr(0, test.option.size() - 1);
        SCOPED_TRACE(bare + " [" + test.value + "]");
        Arguments spaced({"a.txt", bare, test.value, "b.txt"});
        Arguments joined({"a.txt", test.option + test.value, "b.txt"});
        Options with_space;
        Options with_equals;
        Operands operands;
        parse_options(spaced.count(), spaced.vector(), with_space, operands);
        EXPECT_EQ(parse(joined, with_equals), 2);
        EXPECT_EQ(whole(with_space), whole(with_equals));
        EXPECT_EQ(operands, (Operands{spaced.texts[1].data(), spaced.texts[4].data()}));
    }
}

// Texts taken from the next argument point into it, as they point after the "=".
TEST(ParseOptions, ValuesInTheNextArgumentPointIntoIt)
{
    Arguments arguments({"--output", "out.png", "--font", "FreeSans", "-o", "pic.png", "--fallback-font", "A"});
    Options options;
    EXPECT_EQ(parse(arguments, options), 0);
    EXPECT_EQ(options.output, arguments.texts[6].data());
    EXPECT_EQ(options.drawing.font_name, arguments.texts[4].data());
    EXPECT_EQ(options.drawing.fallback_fonts, arguments.texts[8].data());
}

// -o is --output=; "--" ends the options: every argument after it is an operand, "-" and
// "--" included. The operands are the arguments themselves, in order.
TEST(ParseOptions, ShortOutputAndTheEndOfOptions)
{
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> operands;
        std::string output;
        int32_t width;
    } cases[] = {
        {{"-o", "pic.png", "a.txt"}, {"a.txt"}, "pic.png", 640},
        {{"a.txt", "-o", "-"}, {"a.txt"}, "-", 640},
        {{"-o", "pics/", "-o", "other"}, {}, "other", 640},
        {{"--", "-x.txt", "-", "--", "--width=5"}, {"-x.txt", "-", "--", "--width=5"}, "", 640},
        {{"--width=5", "a", "--", "-o", "b"}, {"a", "-o", "b"}, "", 5},
        {{"--width", "7", "-", "--output", "--", "-"}, {"-", "-"}, "--", 7},
        {{"a", "-o", "--", "b"}, {"a", "b"}, "--", 640},
        // Options without a value leave the next argument alone, "-" included.
        {{"--verbose", "-", "--fit", "a", "-s", "--"}, {"-", "a"}, "", 640},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(joined(test.arguments));
        Arguments arguments(test.arguments);
        Options options;
        Operands operands{"left over"};
        parse_options(arguments.count(), arguments.vector(), options, operands);
        std::vector<std::string> texts;
        for (const char* operand : operands) {
            texts.emplace_back(operand);
            // The operand is the argument itself, not a copy.
            bool in_arguments = false;
            for (const std::string& argument : arguments.texts) in_arguments |= argument.data() == operand;
            EXPECT_TRUE(in_arguments) << operand;
        }
        EXPECT_EQ(texts, test.operands);
        EXPECT_EQ(text_of(options.output), text_of(test.output.c_str()));
        EXPECT_EQ(options.width, test.width);
    }
}

TEST(ParseOptionsDeathTest, ShortOutputWithoutAValueSaysWhatItExpects)
{
    Arguments arguments({"a.txt", "-o"});
    Options options;
    EXPECT_EXIT(parse(arguments, options), testing::ExitedWithCode(1),
                "^error: -o expects a file or directory name, as in -o pictures\n\n" +
                    regex_escaped("vedad " VEDAD_VERSION "\n"));
}

// A value in the next argument that the option cannot read is refused as after its "=".
TEST(ParseOptionsDeathTest, AValueInTheNextArgumentThatCannotBeReadIsRefused)
{
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--size", "800", "a.txt"}, "error: --size= expects WIDTHxHEIGHT, as in --size=800x600\n"},
        {{"--font-size", "big", "a.txt"}, "error: --font-size= expects a fraction of 280 points, as in --font-size=0.05\n"},
        {{"--background", " ", "a.txt"},
         "error: --background= expects a colour of six lower-case hex digits RRGGBB, as in --background=ffff00\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(joined(test.arguments));
        Arguments arguments(test.arguments);
        Options options;
        std::string pattern = "^";
        pattern.append(regex_escaped(test.message)).append("\n");
        EXPECT_EXIT(parse(arguments, options), testing::ExitedWithCode(1), pattern);
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
        Options options;
        EXPECT_EXIT(parse(arguments, options), testing::ExitedWithCode(0), test.first_lines);
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
