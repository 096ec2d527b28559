// Terminal output drawn with --ansi-input: each case is compared, pixel for pixel, with the
// span HTML reader drawing the cells a terminal would show, with --fixed. The cells are
// written out by hand here from the rules of the screen model and turned into span HTML.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.hpp"

using namespace vedad_test;
namespace fs = std::filesystem;

namespace {

constexpr int WHITE = 0xffffff;
constexpr int BLACK = 0x000000;

struct TestCell {
    std::string text;
    int foreground = WHITE;
    int background = BLACK;
};
using Screen = std::vector<std::vector<TestCell>>;

// The characters of a UTF-8 text, one per cell, all in the given colours.
std::vector<TestCell> cells(const std::string& text, int foreground = WHITE, int background = BLACK)
{
    std::vector<TestCell> row;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
        row.push_back({text.substr(i, length), foreground, background});
        i += length;
    }
    return row;
}

std::vector<TestCell> operator+(std::vector<TestCell> a, const std::vector<TestCell>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string span_token(const std::string& text)
{
    if (text == " ") return "&nbsp;";
    if (text == "<") return "&lt;";
    if (text == ">") return "&gt;";
    if (text == "&") return "&amp;";
    return text;
}

std::string to_spans(const Screen& screen)
{
    std::string html;
    char colours[80];
    for (const auto& row : screen) {
        for (const TestCell& cell : row) {
            std::snprintf(colours, sizeof colours, "<span style='color:#%06x; background-color:#%06x'>",
                          cell.foreground, cell.background);
            html += colours + span_token(cell.text) + "</span>";
        }
        html += "<br/>\n";
    }
    return html;
}

Image draw(const std::vector<std::string>& arguments, const std::string& input)
{
    TempDir dir;
    RunResult result = run_vedad(dir.path(), arguments, input);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "writing stdin.png\n");
    return read_png(dir / "stdin.png");
}

Image draw_ansi(const std::string& input, std::vector<std::string> options = {})
{
    options.insert(options.begin(), "--ansi-input");
    options.push_back("-");
    return draw(options, input);
}

Image draw_spans(const Screen& screen, std::vector<std::string> options = {})
{
    options.insert(options.begin(), {"--html-input", "--fixed"});
    options.push_back("-");
    return draw(options, to_spans(screen));
}

struct Case {
    const char* name;
    std::string input;
    Screen screen;
};

void expect_same_as_spans(const std::vector<Case>& cases, const std::vector<std::string>& options = {})
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(compare_images(draw_ansi(c.input, options), draw_spans(c.screen, options)), "");
    }
}

// The cell size of the page, from pictures one and two cells and rows large.
struct CellSize {
    int width = 0;
    int height = 0;
};

CellSize cell_size()
{
    const Image one = draw_ansi("x");
    const Image wide = draw_ansi("xx");
    const Image tall = draw_ansi("x\nx");
    return {gdImageSX(wide.get()) - gdImageSX(one.get()), gdImageSY(tall.get()) - gdImageSY(one.get())};
}

}  // namespace

TEST(AnsiInput, ColoursAreTheTerminalsColours)
{
    expect_same_as_spans({
        {"the 16 colours",
         "\x1b[30;47mk\x1b[31;46mr\x1b[32;45mg\x1b[33;44my\x1b[34;43mb\x1b[35;42mm\x1b[36;41mc\x1b[37;40mw\x1b[0m\n"
         "\x1b[90;107mk\x1b[91;106mr\x1b[92;105mg\x1b[93;104my\x1b[94;103mb\x1b[95;102mm\x1b[96;101mc\x1b[97;100mw\n",
         {cells("k", 0x000000, 0xe5e5e5) + cells("r", 0xcd0000, 0x00cdcd) + cells("g", 0x00cd00, 0xcd00cd) +
              cells("y", 0xcdcd00, 0x0000ee) + cells("b", 0x0000ee, 0xcdcd00) + cells("m", 0xcd00cd, 0x00cd00) +
              cells("c", 0x00cdcd, 0xcd0000) + cells("w", 0xe5e5e5, 0x000000),
          cells("k", 0x7f7f7f, 0xffffff) + cells("r", 0xff0000, 0x00ffff) + cells("g", 0x00ff00, 0xff00ff) +
              cells("y", 0xffff00, 0x5c5cff) + cells("b", 0x5c5cff, 0xffff00) + cells("m", 0xff00ff, 0x00ff00) +
              cells("c", 0x00ffff, 0xff0000) + cells("w", 0xffffff, 0x7f7f7f)}},
        {"256 colours",
         "\x1b[38;5;16;48;5;231mA\x1b[38;5;59mB\x1b[38:5:110;48:5:244mC\x1b[38;5;196;48;5;232mD",
         {cells("A", 0x000000, 0xffffff) + cells("B", 0x5f5f5f, 0xffffff) + cells("C", 0x87afd7, 0x808080) +
          cells("D", 0xff0000, 0x080808)}},
        {"24-bit colours", "\x1b[38;2;1;2;3;48;2;250;128;0mA\x1b[38:2::9:8:7mB\x1b[48:2:10:20:30mC",
         {cells("A", 0x010203, 0xfa8000) + cells("B", 0x090807, 0xfa8000) + cells("C", 0x090807, 0x0a141e)}},
        {"faint halves the text colour", "\x1b[2;33mF\x1b[22mG", {cells("F", 0x666600) + cells("G", 0xcdcd00)}},
        {"reverse swaps the colours", "\x1b[7mR\x1b[31;44mS\x1b[27mT",
         {cells("R", BLACK, WHITE) + cells("S", 0x0000ee, 0xcd0000) + cells("T", 0xcd0000, 0x0000ee)}},
    });
    // Bold text is drawn in the bold face (see styles_test.cpp); named as the regular one here,
    // so that the colours alone tell.
    expect_same_as_spans({{"bold brightens the basic colours only", "\x1b[1;31mA\x1b[38;5;1mB\x1b[0;1mC",
                           {cells("A", 0xff0000) + cells("B", 0xcd0000) + cells("C")}}},
                         {"--bold-font=" + std::string(VEDAD_TEST_FONT_DIR) + "/Courier.ttf"});
}

TEST(AnsiInput, ColoursHoldWithOtherPageSettings)
{
    const Case coloured = {"coloured cells", "\x1b[31;44mab\x1b[0m c\n\x1b[7mde",
                           {cells("ab", 0xcd0000, 0x0000ee) + cells(" c"), cells("de", BLACK, WHITE)}};
    expect_same_as_spans({coloured}, {"--charspacing=3", "--linespacing=-1", "--font-size=0.05"});
    expect_same_as_spans({{"the page's colours are the defaults", "a\x1b[7mb\x1b[41mc",
                           {cells("a", 0x123456, 0xfedcba) + cells("b", 0xfedcba, 0x123456) +
                            cells("c", 0xcd0000, 0x123456)}}},
                         {"--foreground=123456", "--background=fedcba"});
}

TEST(AnsiInput, TheCursorAndErasingWorkAsInATerminal)
{
    const std::vector<TestCell> red_spaces = cells("   ", WHITE, 0xcd0000);
    expect_same_as_spans({
        {"carriage return overwrites", "12345\rab", {cells("ab345")}},
        {"a progress bar ends as its last state", "[#   ] 25%\r[##  ] 50%\r[####] 99%\n", {cells("[####] 99%")}},
        {"backspace", "ab\bc", {cells("ac")}},
        {"a tab goes to the next stop, the cells it skips in the default colours", "\x1b[41ma\tb",
         {cells("a", WHITE, 0xcd0000) + cells("       ") + cells("b", WHITE, 0xcd0000)}},
        {"erase to the end of the line in the background of the moment", "abcdef\x1b[41m\x1b[3D\x1b[K",
         {cells("abc") + red_spaces}},
        {"erase to the cursor", "abcdef\x1b[41m\x1b[4G\x1b[1K", {red_spaces + cells(" ", WHITE, 0xcd0000) + cells("ef")}},
        // Every row erased in a colour reaches the picture's right edge, as the screen's does.
        {"erase the display", "ab\ncde\x1b[44m\x1b[2J", {cells("   ", WHITE, 0x0000ee), cells("   ", WHITE, 0x0000ee)}},
        {"erase below", "ab\ncd\nef\x1b[2;2H\x1b[42m\x1b[J",
         {cells("ab"), cells("c") + cells(" ", WHITE, 0x00cd00), cells("  ", WHITE, 0x00cd00)}},
        {"cursor moves", "\x1b[2;3Hx\x1b[Hy\x1b[2Cz\x1b[3Bw\x1b[2Av\x1b[Gu",
         {cells("y  z"), cells("u x  v"), cells(""), cells("    w")}},
        {"cursor moves are held at the top left", "ab\x1b[9A\x1b[9Dc\x1b[0;0Hd", {cells("db")}},
        {"empty rows between, none after", "a\n\nb\n\n\n", {cells("a"), cells(""), cells("b")}},
    });
}

TEST(AnsiInput, WhatIsNotTextLeavesNoTrace)
{
    expect_same_as_spans({
        {"hyperlinks", "see \x1b]8;;http://example.org/\x1b\\the page\x1b]8;;\x1b\\ or \x1b]8;id=1;x\x07this\x1b]8;;\x07",
         {cells("see the page or this")}},
        {"other sequences, strings and controls",
         "a\x1b[?25l\x1b[6n\x1b[s\x1b(B\x1b" "7\x1b]0;title\x07\x1bPq#1\x1b\\\x07\x0e" "b\x1b[2 q\x1b[>4;1m" "c",
         {cells("abc")}},
        {"a sequence cut at the end", "ab\x1b[38;5", {cells("ab")}},
        {"a string cut at the end", "ab\x1b]8;;http://exa", {cells("ab")}},
    });
    // Nothing but sequences draws nothing: the page keeps its size, all background.
    const Image nothing = draw_ansi("\x1b[31m\x1b]0;t\x07\n\x1b[2J\x1b[K");
    ASSERT_NE(nothing, nullptr);
    EXPECT_EQ(gdImageSX(nothing.get()), 640);
    EXPECT_EQ(gdImageSY(nothing.get()), 480);
    EXPECT_EQ(count_other_pixels(nothing, rgb(0, 0, 0), 0, 0, 640, 480), 0);
}

TEST(AnsiInput, UnderlineIsALineBelowTheBaselineAcrossTheCell)
{
    const CellSize cell = cell_size();
    ASSERT_GT(cell.width, 0);
    Image expected = draw_spans({cells("ab", 0xcd0000) + cells("c")});
    // Under a and b: one pixel below the baseline of the first row, each column of their cells.
    gdImageFilledRectangle(expected.get(), 0, cell.height + 1, 2 * cell.width - 1, cell.height + 1,
                           rgb(0xcd, 0, 0));
    EXPECT_EQ(compare_images(draw_ansi("\x1b[4;31mab\x1b[24;39mc"), expected), "");
}

// A wide character and a combining mark are drawn as one text at the cell's pen: with nothing
// filled, that is what plain text draws for them.
TEST(AnsiInput, WideCharactersAndCombiningMarksAreDrawnWhole)
{
    const std::vector<std::string> options = {"--no-crop", "--transparent"};
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"漢", "漢"},
        {"e\xcc\x81", "e\xcc\x81"},
        {"漢x", "漢"},  // x is drawn one cell further
    };
    for (const auto& [ansi, plain] : cases) {
        SCOPED_TRACE(ansi);
        Image picture = draw_ansi(ansi, options);
        Image text = draw({"--no-crop", "--transparent", "-"}, plain);
        if (ansi == "漢x") {
            const CellSize cell = cell_size();
            const Image x = draw_ansi("  x", options);
            // Lay the x, drawn alone two cells on, over the wide character.
            gdImageCopy(text.get(), x.get(), 2 * cell.width, 0, 2 * cell.width, 0, cell.width, 480);
        }
        EXPECT_EQ(compare_images(picture, text), "");
    }
    // The wide character's background fills both of its cells.
    const CellSize cell = cell_size();
    const Image wide = draw_ansi("\x1b[44m漢\x1b[0mx");
    EXPECT_EQ(gdImageSX(wide.get()), 3 * cell.width);
    EXPECT_EQ(pixel(wide, 2 * cell.width - 1, cell.height / 2), rgb(0, 0, 0xee));
}

// These need the span reader to draw whole UTF-8 characters.
TEST(AnsiInput, CharactersBeyondAsciiAreTheSpanReadersCells)
{
    expect_same_as_spans({
        {"two, three and four bytes", "\x1b[32mé─\xf0\x9d\x90\x80", {cells("é─\xf0\x9d\x90\x80", 0x00cd00)}},
    });
    // In fixed cells a span's wide character takes two, as in the terminal.
    expect_same_as_spans({{"a wide character over a transparent page", "漢x", {cells("漢x")}}}, {"--transparent"});
    // A grapheme cluster is one span's and one cell's, or two for a flag.
    const std::string flag = "\U0001F1EB\U0001F1F7";
    expect_same_as_spans({{"grapheme clusters", "e\u0301x" + flag + "y",
                           {std::vector<TestCell>{{"e\u0301", WHITE, BLACK}} + cells("x") +
                            std::vector<TestCell>{{flag, WHITE, BLACK}} + cells("y")}}});
}

// A wide character fills both its cells in its background and is drawn whole over them, so
// that its second cell keeps its ink; a span page would cover that with the next cell.
TEST(AnsiInput, AWideCharacterIsDrawnWholeOverItsTwoCells)
{
    const CellSize cell = cell_size();
    Image expected = draw_spans({cells("  ", WHITE, 0x0000ee) + cells("x")});
    ASSERT_NE(expected, nullptr);
    gdImageSetClip(expected.get(), 0, 0, 2 * cell.width - 1, gdImageSY(expected.get()) - 1);
    int box[8];
    std::string font = "Courier", text = "漢";
    ASSERT_EQ(gdImageStringFT(expected.get(), box, rgb(255, 255, 255), font.data(), 7.0, 0.0, 0, cell.height,
                              text.data()),
              nullptr);
    // libgd reads no pixel outside the clip either.
    gdImageSetClip(expected.get(), 0, 0, gdImageSX(expected.get()) - 1, gdImageSY(expected.get()) - 1);
    EXPECT_EQ(compare_images(draw_ansi("\x1b[44m漢\x1b[0mx"), expected), "");
}

// An emoji from a colour face is drawn in its own colours over its two cells, and leaves the
// cell after them as it would be.
TEST(AnsiInput, AnEmojiIsDrawnInItsColoursOverItsTwoCells)
{
    const CellSize cell = cell_size();
    const std::vector<std::string> options = {"--fallback-font=" + std::string(VEDAD_COLOR_EMOJI_FONT)};
    const Image emoji = draw_ansi("\x1b[44m\xf0\x9f\x98\x80\x1b[0mx", options);
    const Image blank = draw_ansi("\x1b[44m  \x1b[0mx", options);
    ASSERT_NE(emoji, nullptr);
    ASSERT_NE(blank, nullptr);
    ASSERT_EQ(gdImageSX(emoji.get()), gdImageSX(blank.get()));
    ASSERT_EQ(gdImageSY(emoji.get()), gdImageSY(blank.get()));
    int yellowish = 0;
    int changed_after = 0;
    for (int y = 0; y < gdImageSY(emoji.get()); ++y) {
        for (int x = 0; x < gdImageSX(emoji.get()); ++x) {
            const int p = pixel(emoji, x, y);
            if (x < 2 * cell.width && gdTrueColorGetRed(p) > gdTrueColorGetBlue(p) + 100) ++yellowish;
            if (x >= 2 * cell.width && p != pixel(blank, x, y)) ++changed_after;
        }
    }
    EXPECT_GT(yellowish, 10);
    EXPECT_EQ(changed_after, 0);
}

// In span HTML a glyph from another face that is wider than its cell is not cut by the next
// cell's background: the part over that cell is drawn again once it is filled, so an emoji
// followed by a blank cell comes out as the terminal draws it over its two cells.
TEST(AnsiInput, ASpanEmojiTakesTwoCellsAsInTheTerminal)
{
    const std::vector<std::string> options = {"--fallback-font=" + std::string(VEDAD_COLOR_EMOJI_FONT)};
    const int blue = 0x0000ee;
    const Image terminal = draw_ansi("\x1b[44m\xf0\x9f\x98\x80\x1b[0mx", options);
    const Image spans = draw_spans({cells("\xf0\x9f\x98\x80", WHITE, blue) + cells("x")}, options);
    EXPECT_EQ(compare_images(spans, terminal), "");
}

namespace {

// What a shell command prints, run in `directory`.
std::string output_of(const fs::path& directory, const std::string& command)
{
    const std::string line = "cd '" + directory.string() + "' && " + command;
    FILE* pipe = popen(line.c_str(), "r");
    EXPECT_NE(pipe, nullptr) << command;
    std::string output;
    char buffer[4096];
    for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, read);
    pclose(pipe);
    return output;
}

// Real command output drawn at 28 points, where the strokes of every letter hold pixels in
// the exact text colour.
struct Drawn {
    Image image;
    CellSize cell;
};

Drawn draw_output(const fs::path& directory, const std::string& output)
{
    EXPECT_NE(output.find('\x1b'), std::string::npos) << "the command wrote no escape sequences";
    write_file(directory / "output.txt", output);
    RunResult result = run_vedad(directory, {"--ansi-input", "--font-size=0.1", "output.txt"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "writing output.png\n");
    Drawn drawn{read_png(directory / "output.png"), {}};
    write_file(directory / "probe.txt", "x\nxx");
    EXPECT_EQ(run_vedad(directory, {"--ansi-input", "--font-size=0.1", "probe.txt"}).status, 0);
    Image probe = read_png(directory / "probe.png");
    drawn.cell = {gdImageSX(probe.get()) / 2, 0};
    write_file(directory / "probe.txt", "x");
    EXPECT_EQ(run_vedad(directory, {"--ansi-input", "--font-size=0.1", "--overwrite", "probe.txt"}).status, 0);
    drawn.cell.height = gdImageSY(probe.get()) - gdImageSY(read_png(directory / "probe.png").get());
    return drawn;
}

// Pixels of exactly `color` in the cells [first, last] of a row (the row's height, and a few
// pixels below the baseline for descenders).
int pixels_in_cells(const Drawn& drawn, int row, int first, int last, int color)
{
    const int x0 = first * drawn.cell.width;
    const int y0 = row * drawn.cell.height;
    const int x1 = (last + 1) * drawn.cell.width;
    const int y1 = (row + 1) * drawn.cell.height + 4;
    const int all = (x1 - x0) * (std::min(y1, gdImageSY(drawn.image.get())) - y0);
    return all - count_other_pixels(drawn.image, color, x0, y0, x1, y1);
}

int colour(int packed)
{
    return rgb(packed >> 16, (packed >> 8) & 0xff, packed & 0xff);
}

}  // namespace

TEST(AnsiInput, AColouredListingShowsItsColours)
{
    TempDir dir;
    fs::create_directories(dir / "listing" / "docs");
    write_file(dir / "listing" / "notes.txt", "notes\n");
    write_file(dir / "listing" / "run.sh", "#!/bin/sh\n");
    fs::permissions(dir / "listing" / "run.sh", fs::perms::owner_exec, fs::perm_options::add);
    const Drawn drawn = draw_output(
        dir.path(), output_of(dir.path(), "LC_ALL=C LS_COLORS='di=01;34:ex=01;32' ls -1 --color=always listing"));
    ASSERT_NE(drawn.image, nullptr);
    ASSERT_GT(drawn.cell.width, 0);
    EXPECT_GT(pixels_in_cells(drawn, 0, 0, 3, colour(0x5c5cff)), 0);  // docs, bold blue
    EXPECT_GT(pixels_in_cells(drawn, 1, 0, 8, colour(0xffffff)), 0);  // notes.txt, uncoloured
    EXPECT_EQ(pixels_in_cells(drawn, 1, 0, 8, colour(0x5c5cff)), 0);
    EXPECT_GT(pixels_in_cells(drawn, 2, 0, 5, colour(0x00ff00)), 0);  // run.sh, bold green
}

TEST(AnsiInput, GrepMatchesAndDiffLinesShowTheirColours)
{
    TempDir dir;
    write_file(dir / "words", "alpha beta\ngamma beta delta\nepsilon\n");
    const Drawn grep = draw_output(
        dir.path(), output_of(dir.path(), "GREP_COLORS='ms=01;31' grep --color=always beta words"));
    ASSERT_NE(grep.image, nullptr);
    EXPECT_GT(pixels_in_cells(grep, 0, 6, 9, colour(0xff0000)), 0);  // the match, bold red
    EXPECT_EQ(pixels_in_cells(grep, 0, 0, 4, colour(0xff0000)), 0);
    EXPECT_GT(pixels_in_cells(grep, 0, 0, 4, colour(0xffffff)), 0);
    EXPECT_GT(pixels_in_cells(grep, 1, 6, 9, colour(0xff0000)), 0);

    TempDir other;
    write_file(other / "a", "one\ntwo\n");
    write_file(other / "b", "one\nthree\n");
    const Drawn diff = draw_output(
        other.path(), output_of(other.path(), "diff --color=always --palette='ad=32:de=31:ln=36' a b; true"));
    ASSERT_NE(diff.image, nullptr);
    // 2c2, < two, ---, > three
    EXPECT_GT(pixels_in_cells(diff, 0, 0, 2, colour(0x00cdcd)), 0);
    EXPECT_GT(pixels_in_cells(diff, 1, 2, 4, colour(0xcd0000)), 0);
    EXPECT_GT(pixels_in_cells(diff, 3, 2, 6, colour(0x00cd00)), 0);
    EXPECT_EQ(pixels_in_cells(diff, 3, 2, 6, colour(0xcd0000)), 0);
}

TEST(AnsiInput, PrintfOfSgrCodesFillsCellsAndColoursText)
{
    TempDir dir;
    const Drawn drawn = draw_output(
        dir.path(), output_of(dir.path(), "printf '\\033[48;5;21m  \\033[0m \\033[1;38;2;255;128;0mX\\033[m\\n'"));
    ASSERT_NE(drawn.image, nullptr);
    const int middle = drawn.cell.height / 2;
    EXPECT_EQ(pixel(drawn.image, 1, middle), colour(0x0000ff));
    EXPECT_EQ(pixel(drawn.image, 2 * drawn.cell.width - 2, middle), colour(0x0000ff));
    EXPECT_EQ(pixel(drawn.image, 2 * drawn.cell.width + 2, middle), colour(0x000000));
    EXPECT_GT(pixels_in_cells(drawn, 0, 3, 3, colour(0xff8000)), 0);
    EXPECT_EQ(gdImageSX(drawn.image.get()), 4 * drawn.cell.width);
}

// On a transparent page the cells in the page's own background stay transparent, and every
// other background, an SGR colour or reverse video, is filled as the terminal showed it.
TEST(AnsiInput, TransparencyKeepsTheColoursOfCells)
{
    const CellSize cell = cell_size();
    const Image page = draw_ansi("\x1b[37;41mab\x1b[0m c \x1b[7mde", {"--transparent"});
    ASSERT_NE(page, nullptr);
    const auto cell_background = [&](int column) {
        // The cell's lowest row at its left edge: no glyph of these inks there.
        return pixel(page, column * cell.width, gdImageSY(page.get()) - 1);
    };
    EXPECT_EQ(cell_background(0), rgb(0xcd, 0, 0));
    EXPECT_EQ(cell_background(1), rgb(0xcd, 0, 0));
    EXPECT_EQ(gdTrueColorGetAlpha(cell_background(2)), gdAlphaTransparent);
    EXPECT_EQ(gdTrueColorGetAlpha(cell_background(4)), gdAlphaTransparent);
    EXPECT_EQ(cell_background(5), rgb(255, 255, 255));  // reverse video: the text colour behind
    EXPECT_EQ(cell_background(6), rgb(255, 255, 255));
}

// Every line SGR can ask for, drawn over the cells of the text as spans draw them.
TEST(AnsiInput, StrikeDoubleUnderlineOverlineAndUnderlineColourAreLinesAcrossTheCells)
{
    const CellSize cell = cell_size();
    const int baseline = cell.height;
    const TextSize x = measure_string("Courier", 7.0, "x");
    const int strike = baseline - (x.height - x.descent) / 2;
    const int top = baseline + measure_sample("Courier", 7.0).descent + 1 - cell.height;
    const struct {
        const char* name;
        std::string input;
        std::vector<std::pair<int, int>> lines;  // rows, in a colour
    } cases[] = {
        {"strike-through", "\x1b[9mab\x1b[29mc", {{strike, rgb(255, 255, 255)}}},
        {"double underline by 21", "\x1b[21mab\x1b[24mc", {{baseline + 1, rgb(255, 255, 255)}, {baseline + 3, rgb(255, 255, 255)}}},
        {"double underline by 4:2", "\x1b[4:2mab\x1b[4:0mc", {{baseline + 1, rgb(255, 255, 255)}, {baseline + 3, rgb(255, 255, 255)}}},
        {"curly underline, single", "\x1b[4:3mab\x1b[24mc", {{baseline + 1, rgb(255, 255, 255)}}},
        {"underline colour", "\x1b[4;58;5;1mab\x1b[59;24mc", {{baseline + 1, rgb(0xcd, 0, 0)}}},
        {"underline colour in 24 bits", "\x1b[4;58:2::1:2:3mab\x1b[0mc", {{baseline + 1, rgb(1, 2, 3)}}},
        {"overline", "\x1b[53mab\x1b[55mc", {{top, rgb(255, 255, 255)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Image expected = draw_spans({cells("abc")});
        ASSERT_NE(expected, nullptr);
        for (const auto& [y, color] : c.lines) gdImageFilledRectangle(expected.get(), 0, y, 2 * cell.width - 1, y, color);
        EXPECT_EQ(compare_images(draw_ansi(c.input), expected), "");
    }
}

// Concealed text shows its cells' background alone; blinking text is drawn steady.
TEST(AnsiInput, ConcealedTextShowsItsBackgroundAndBlinkingTextIsSteady)
{
    EXPECT_EQ(compare_images(draw_ansi("\x1b[8;41mab\x1b[28;49mc"),
                             draw_spans({cells("  ", WHITE, 0xcd0000) + cells("c")})),
              "");
    EXPECT_EQ(compare_images(draw_ansi("\x1b[5ma\x1b[6mb\x1b[25mc"), draw_spans({cells("abc")})), "");
}

// An erase in a colour reaches the picture's right edge, however far the other rows reach;
// one in the page's own colours leaves nothing that widens the picture.
TEST(AnsiInput, ErasesReachTheRightEdgeAndDefaultOnesWidenNothing)
{
    expect_same_as_spans({
        {"a coloured erase at the end of a short row", "a long line\nab\x1b[41m\x1b[K\x1b[0m\n",
         {cells("a long line"), cells("ab") + cells("         ", WHITE, 0xcd0000)}},
        {"a whole row erased in a colour", "a long line\n\x1b[44m\x1b[2K\x1b[0mx",
         {cells("a long line"), cells("x") + cells("          ", WHITE, 0x0000ee)}},
    });
}
