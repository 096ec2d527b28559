// Themes and the least contrast, run through the program: the colours a theme draws in, the
// theme files and what a broken one is told, and --min-contrast measured from the pixels.

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/contrast.hpp"
#include "support/test_support.hpp"
#include "themes/builtin_themes.hpp"

using namespace vedad_test;
namespace fs = std::filesystem;

namespace {

const fs::path THEMES = fs::path(VEDAD_FIXTURE_DIR) / "themes";

// Blocks of two cells whose backgrounds show a theme's colours: the 16 basic colours (40-47,
// 100-107), the default background, the default text colour (reversed), and the bright red
// that bold gives 31 (reversed).
std::string color_blocks()
{
    std::string text;
    for (int i = 0; i < 8; ++i) text += "\x1b[" + std::to_string(40 + i) + "m  ";
    for (int i = 0; i < 8; ++i) text += "\x1b[" + std::to_string(100 + i) + "m  ";
    return text + "\x1b[0m  \x1b[7m  \x1b[0;1;7;31m  \x1b[0m";
}
constexpr int BLOCKS = 19;

// The colours a theme should show in the blocks.
std::vector<uint32_t> expected_blocks(const vedad::Theme& theme)
{
    std::vector<uint32_t> colors;
    for (const vedad::Rgb& color : theme.basic) colors.push_back(vedad::hex_of_rgb(color));
    colors.push_back(vedad::hex_of_rgb(theme.background));
    colors.push_back(vedad::hex_of_rgb(theme.foreground));
    colors.push_back(vedad::hex_of_rgb(theme.basic[9]));
    return colors;
}

uint32_t hex_at(const Image& image, int x, int y)
{
    return static_cast<uint32_t>(pixel(image, x, y)) & 0xffffff;
}

// The colour in the middle of each block of a picture of color_blocks().
std::vector<uint32_t> drawn_blocks(const Image& image)
{
    const int block = gdImageSX(image.get()) / BLOCKS;
    std::vector<uint32_t> colors;
    for (int i = 0; i < BLOCKS; ++i) colors.push_back(hex_at(image, i * block + block / 2, gdImageSY(image.get()) / 2));
    return colors;
}

std::string hex_list(const std::vector<uint32_t>& colors)
{
    std::ostringstream text;
    for (const uint32_t color : colors) text << std::hex << color << " ";
    return text.str();
}

// Runs the program on a terminal output of colour blocks and returns what the blocks show.
std::vector<uint32_t> blocks_with(const std::vector<std::string>& options)
{
    TempDir dir;
    write_file(dir / "a.txt", color_blocks());
    std::vector<std::string> arguments = options;
    arguments.insert(arguments.end(), {"--ansi-input", "a.txt"});
    const RunResult result = run_vedad(dir.path(), arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    const Image image = read_png(dir / "a.png");
    if (image == nullptr) return {};
    return drawn_blocks(image);
}

vedad::Theme fixture_theme()
{
    vedad::Theme theme;
    constexpr std::array<uint32_t, 16> basic = {0x101010, 0xc01020, 0x20c030, 0xc0a040, 0x3050d0, 0xa040c0,
                                                0x40b0b0, 0xd0d0d0, 0x606060, 0xff5060, 0x60ff70, 0xffe080,
                                                0x7090ff, 0xe080ff, 0x80ffff, 0xfafafa};
    for (size_t i = 0; i < basic.size(); ++i) theme.basic[i] = vedad::rgb_of_hex(basic[i]);
    theme.foreground = vedad::rgb_of_hex(0xe0e0e1);
    theme.background = vedad::rgb_of_hex(0x1a1b1c);
    return theme;
}

}  // namespace

TEST(Themes, EachBuiltInThemeDrawsItsColours)
{
    for (const vedad::NamedTheme& named : vedad::builtin_themes()) {
        SCOPED_TRACE(named.name);
        EXPECT_EQ(hex_list(blocks_with({std::string("--theme=") + named.name})), hex_list(expected_blocks(named.theme)));
    }
    // Without a theme, xterm's.
    EXPECT_EQ(hex_list(blocks_with({})), hex_list(expected_blocks(vedad::Theme{})));
}

TEST(Themes, EachThemeFileFormDrawsItsColours)
{
    const std::string want = hex_list(expected_blocks(fixture_theme()));
    for (const char* name : {"fixture.json", "fixture.itermcolors", "fixture.Xresources"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(hex_list(blocks_with({"--theme=" + (THEMES / name).string()})), want);
    }
}

TEST(Themes, ForegroundAndBackgroundGivenWinWhereverTheyStand)
{
    const std::string theme = "--theme=" + (THEMES / "fixture.json").string();
    vedad::Theme want = fixture_theme();
    want.background = vedad::rgb_of_hex(0x0000ff);
    EXPECT_EQ(hex_list(blocks_with({"--background=0000ff", theme})), hex_list(expected_blocks(want)));
    want.foreground = vedad::rgb_of_hex(0x00ff00);
    EXPECT_EQ(hex_list(blocks_with({theme, "--background=0000ff", "--foreground=#00FF00", "--theme=nord", theme})),
              hex_list(expected_blocks(want)));
}

// Plain text and span HTML take the theme's default colours, and nothing else of it.
TEST(Themes, PlainTextAndSpansTakeTheDefaultColours)
{
    TempDir dir;
    write_file(dir / "a.txt", "HHHH\n");
    write_file(dir / "a.html", "<span>H</span><span style='color:#ff0000; background-color:#00ff00'>H</span>");
    const RunResult plain = run_vedad(dir.path(), {"--theme=solarized-light", "--font-size=0.1", "a.txt"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const Image page = read_png(dir / "a.png");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(hex_at(page, 0, 0), 0xfdf6e3u);
    std::vector<uint32_t> colors;
    for (int y = 0; y < gdImageSY(page.get()); ++y) {
        for (int x = 0; x < gdImageSX(page.get()); ++x) colors.push_back(hex_at(page, x, y));
    }
    EXPECT_NE(std::find(colors.begin(), colors.end(), 0x657b83u), colors.end()) << "the text in the theme's colour";

    const RunResult spans = run_vedad(dir.path(), {"--theme=dracula", "--html-input", "--fixed", "a.html"});
    ASSERT_EQ(spans.status, 0) << spans.err;
    const Image cells = read_png(dir / "a2.png");
    ASSERT_NE(cells, nullptr);
    const int width = gdImageSX(cells.get());
    const int bottom = gdImageSY(cells.get()) - 1;
    EXPECT_EQ(hex_at(cells, 0, bottom), 0x282a36u);
    EXPECT_EQ(hex_at(cells, width - 1, bottom), 0x00ff00u);
}

TEST(Themes, ListPrintsTheBuiltInNamesOnStandardOutput)
{
    TempDir dir;
    Launch how;
    how.capture_out = true;
    std::string names;
    for (const vedad::NamedTheme& named : vedad::builtin_themes()) names += std::string(named.name) + "\n";
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--theme=list"}, {"a.txt", "--theme=list", "--theme=nonesuch", "--width=0"}}) {
        const Outcome listed = launch(dir.path(), arguments, how);
        EXPECT_EQ(listed.status, 0);
        EXPECT_EQ(listed.out, names);
        EXPECT_EQ(listed.err, "");
    }
    EXPECT_TRUE(names.starts_with("xterm\nvga\ntango\nsolarized-dark\n")) << names;
    EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{});
}

TEST(Themes, AThemeThatCannotBeReadEndsTheRunWithoutAPicture)
{
    const struct {
        std::string theme;
        std::string err;
    } cases[] = {
        {"broken.json",
         "error: theme file broken.json, line 4: not JSON: syntax error while parsing object - unexpected string "
         "literal; expected '}'\n"},
        {"missing-key.json", "error: theme file missing-key.json: no colour for brightWhite\n"},
        {"bad-color.Xresources",
         "error: theme file bad-color.Xresources, line 13: *color5 is \"#a040c\", not a colour #rrggbb\n"},
        {"broken.itermcolors", "error: theme file broken.itermcolors, line 13: not XML: mismatched tag\n"},
        {"nonesuch",
         "error: --theme=nonesuch names no built-in theme and no file (--theme=list lists the built-in themes)\n"},
        {"./nonesuch", "error: could not read theme file ./nonesuch: No such file or directory\n"},
        {"themes", "error: could not read theme file themes: Is a directory\n"},
        {"", "error: --theme= expects a built-in theme's name or a theme file, as in --theme=solarized-dark\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.theme);
        TempDir dir;
        fs::create_directory(dir / "themes");
        for (const char* name : {"broken.json", "missing-key.json", "bad-color.Xresources", "broken.itermcolors"})
            fs::copy_file(THEMES / name, dir / name);
        write_file(dir / "a.txt", "text\n");
        const RunResult result = run_vedad(dir.path(), {"--ansi-input", "--theme=" + test.theme, "a.txt"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, test.err);
        EXPECT_FALSE(fs::exists(dir / "a.png"));
    }
}

// xterm's theme and a contrast of 1 are what the program draws without them.
TEST(Themes, TheDefaultsDrawTheSamePicturesAsNoOptions)
{
    TempDir dir;
    write_file(dir / "a.txt", color_blocks() + "\x1b[93mbright yellow\x1b[0m plain\n");
    write_file(dir / "a.html", "<span style='color:#ffff00; background-color:#ffffff'>y</span><span>p</span>");
    for (const std::vector<std::string>& form : {std::vector<std::string>{"--ansi-input", "a.txt"},
                                                 {"--html-input", "a.html"}, {"a.txt"}}) {
        SCOPED_TRACE(form.back());
        std::vector<std::string> plain = form;
        plain.push_back("--output=plain.png");
        ASSERT_EQ(run_vedad(dir.path(), plain).status, 0);
        for (const std::string option : {"--theme=xterm", "--min-contrast=1"}) {
            std::vector<std::string> arguments = form;
            arguments.insert(arguments.end(), {option, "--output=other.png", "--overwrite"});
            ASSERT_EQ(run_vedad(dir.path(), arguments).status, 0);
            EXPECT_EQ(read_file(dir / "other.png"), read_file(dir / "plain.png")) << option;
        }
        fs::remove(dir / "plain.png");
    }
}

namespace {

// The contrast of each cell of a one-row picture of `cells` cells: its fill (its top-left
// pixel below the row's first line) against the glyph pixel furthest from it in luminance.
std::vector<double> cell_contrasts(const Image& image, int cells)
{
    const int width = gdImageSX(image.get()) / cells;
    const int height = gdImageSY(image.get());
    std::vector<double> contrasts;
    for (int cell = 0; cell < cells; ++cell) {
        const vedad::Rgb fill = vedad::rgb_of_hex(hex_at(image, cell * width, height - 1));
        double most = 1.0;
        for (int y = 0; y < height; ++y) {
            for (int x = cell * width; x < (cell + 1) * width; ++x)
                most = std::max(most, vedad::contrast_ratio(vedad::rgb_of_hex(hex_at(image, x, y)), fill));
        }
        contrasts.push_back(most);
    }
    return contrasts;
}

}  // namespace

TEST(MinContrast, EveryCellOfALightPageReachesTheRatio)
{
    TempDir dir;
    // Bright yellow, bright cyan and green on white, then the page's own text colour.
    write_file(dir / "a.txt", "\x1b[93mHMW\x1b[96mHMW\x1b[32mHMW\x1b[0mHMW\x1b[1;33;47mHMW\x1b[0m");
    const std::vector<std::string> page = {"--ansi-input", "--background=ffffff", "--foreground=24292e",
                                           "--font=DejaVuSansMono", "--font-size=0.1", "a.txt", "--overwrite"};
    constexpr int CELLS = 15;

    ASSERT_EQ(run_vedad(dir.path(), page).status, 0);
    const std::vector<double> before = cell_contrasts(read_png(dir / "a.png"), CELLS);
    EXPECT_LT(*std::min_element(before.begin(), before.end()), 2.0) << "bright yellow on white is faint";

    std::vector<std::string> asked = page;
    asked.push_back("--min-contrast=4.5");
    const RunResult result = run_vedad(dir.path(), asked);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<double> after = cell_contrasts(read_png(dir / "a.png"), CELLS);
    for (int cell = 0; cell < CELLS; ++cell) {
        EXPECT_GE(after[static_cast<size_t>(cell)], 4.5) << "cell " << cell;
        // A cell that had the contrast keeps its colours.
        if (before[static_cast<size_t>(cell)] >= 4.5) {
            EXPECT_DOUBLE_EQ(after[static_cast<size_t>(cell)], before[static_cast<size_t>(cell)]) << "cell " << cell;
        }
    }
}

TEST(MinContrast, PlainTextAndSpansReachTheRatioToo)
{
    TempDir dir;
    write_file(dir / "a.txt", "HMW\n");
    write_file(dir / "a.html", "<span style='color:#ffff00; background-color:#ffffff'>H</span>"
                               "<span style='color:#3a3a3a; background-color:#000000'>M</span>"
                               "<span>W</span>");
    const std::vector<std::string> font = {"--font=DejaVuSansMono", "--font-size=0.1", "--min-contrast=7"};
    std::vector<std::string> plain = font;
    plain.insert(plain.end(), {"--background=ffffff", "--foreground=00ffff", "a.txt"});
    ASSERT_EQ(run_vedad(dir.path(), plain).status, 0);
    std::vector<std::string> spans = font;
    spans.insert(spans.end(), {"--html-input", "--fixed", "--background=222222", "--foreground=444444", "a.html"});
    ASSERT_EQ(run_vedad(dir.path(), spans).status, 0);
    for (const auto& [name, cells] : {std::pair{"a.png", 1}, std::pair{"a2.png", 3}}) {
        SCOPED_TRACE(name);
        const Image image = read_png(dir / name);
        ASSERT_NE(image, nullptr);
        for (const double contrast : cell_contrasts(image, cells)) EXPECT_GE(contrast, 7.0);
    }
}
