#include "readers/terminal/ansi_style.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "readers/terminal/ansi_parser.hpp"

using namespace vedad;

namespace {

// The first cell of a row written after `input`, with white on black as the defaults
// unless others are given.
Cell first_cell(const std::string& input, uint32_t foreground = 0xffffff, uint32_t background = 0x000000)
{
    Grid grid = make_grid({10, 10}, rgb_of_hex(foreground), rgb_of_hex(background), 8);
    AnsiParser parser;
    ansi_feed(parser, grid, input);
    return grid.rows.at(0).cells.at(0);
}

}  // namespace

TEST(AnsiColors, PaletteHoldsXtermsColoursTheCubeAndTheGreys)
{
    const std::vector<std::pair<int, uint32_t>> cases = {
        {0, 0x000000},  {1, 0xcd0000},  {4, 0x0000ee},  {7, 0xe5e5e5},  {8, 0x7f7f7f},  {12, 0x5c5cff},
        {15, 0xffffff}, {16, 0x000000}, {21, 0x0000ff}, {59, 0x5f5f5f}, {110, 0x87afd7}, {196, 0xff0000},
        {231, 0xffffff}, {232, 0x080808}, {244, 0x808080}, {255, 0xeeeeee},
    };
    for (const auto& [index, color] : cases) EXPECT_EQ(hex_of_rgb(palette_color(XTERM_BASIC_COLORS, index)), color) << "index " << index;
    EXPECT_EQ(hex_of_rgb(faint_color(rgb_of_hex(0xcd7f01))), 0x663f00u);
}

TEST(AnsiStyle, SgrSetsTheColoursACellIsDrawnIn)
{
    struct Case {
        const char* name;
        std::string input;
        uint32_t foreground;
        uint32_t background;
    };
    const std::vector<Case> cases = {
        {"defaults", "x", 0xffffff, 0x000000},
        {"basic foreground and background", "\x1b[31;42mx", 0xcd0000, 0x00cd00},
        {"bright foreground and background", "\x1b[94;103mx", 0x5c5cff, 0xffff00},
        {"bold brightens a basic foreground", "\x1b[1;31mx", 0xff0000, 0x000000},
        {"bold after the colour too", "\x1b[33m\x1b[1mx", 0xffff00, 0x000000},
        {"bold leaves the background", "\x1b[1;41mx", 0xffffff, 0xcd0000},
        {"bold leaves an indexed colour", "\x1b[1;38;5;1mx", 0xcd0000, 0x000000},
        {"faint halves the foreground", "\x1b[2;31mx", 0x660000, 0x000000},
        {"bold and faint", "\x1b[1;2;31mx", 0x7f0000, 0x000000},
        {"22 ends bold and faint", "\x1b[1;2;31m\x1b[22mx", 0xcd0000, 0x000000},
        {"reverse", "\x1b[7mx", 0x000000, 0xffffff},
        {"reverse of colours", "\x1b[31;42;7mx", 0x00cd00, 0xcd0000},
        {"27 ends reverse", "\x1b[7;27mx", 0xffffff, 0x000000},
        {"256 colours with ;", "\x1b[38;5;196;48;5;21mx", 0xff0000, 0x0000ff},
        {"256 colours with :", "\x1b[38:5:244;48:5:110mx", 0x808080, 0x87afd7},
        {"24-bit with ;", "\x1b[38;2;1;2;3;48;2;250;128;0mx", 0x010203, 0xfa8000},
        {"24-bit with :", "\x1b[38:2:1:2:3mx", 0x010203, 0x000000},
        {"24-bit with : and a colour space", "\x1b[48:2::4:5:6mx", 0xffffff, 0x040506},
        {"a colour out of range is left out", "\x1b[38;5;300;31;38;2;1;999;1mx", 0xcd0000, 0x000000},
        {"parameters after a : colour", "\x1b[38:5:1;44mx", 0xcd0000, 0x0000ee},
        {"an unfinished colour", "\x1b[32;38;5mx", 0x00cd00, 0x000000},
        {"reset by 0", "\x1b[31;44m\x1b[0mx", 0xffffff, 0x000000},
        {"reset by no parameter", "\x1b[1;31;7m\x1b[mx", 0xffffff, 0x000000},
        {"an empty parameter counts 0", "\x1b[31;44;m\x1b[;32mx", 0x00cd00, 0x000000},
        {"39 and 49", "\x1b[31;44m\x1b[39;49mx", 0xffffff, 0x000000},
        {"italic, strike and blink change nothing", "\x1b[3;9;5;23;29;25mx", 0xffffff, 0x000000},
        {"a private SGR changes nothing", "\x1b[>31mx", 0xffffff, 0x000000},
        {"a huge parameter", "\x1b[99999999999999999999mx", 0xffffff, 0x000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Cell cell = first_cell(c.input);
        EXPECT_EQ(hex_of_rgb(cell.foreground), c.foreground);
        EXPECT_EQ(hex_of_rgb(cell.background), c.background);
    }
}

TEST(AnsiStyle, DefaultsAreThePagesColours)
{
    const Cell plain = first_cell("x", 0x123456, 0xfedcba);
    EXPECT_EQ(hex_of_rgb(plain.foreground), 0x123456u);
    EXPECT_EQ(hex_of_rgb(plain.background), 0xfedcbau);
    const Cell reversed = first_cell("\x1b[7mx", 0x123456, 0xfedcba);
    EXPECT_EQ(hex_of_rgb(reversed.foreground), 0xfedcbau);
    EXPECT_EQ(hex_of_rgb(reversed.background), 0x123456u);
}

TEST(AnsiStyle, UnderlineIsKeptPerCell)
{
    struct Case {
        std::string input;
        bool underline;
    };
    const std::vector<Case> cases = {
        {"x", false}, {"\x1b[4mx", true}, {"\x1b[4:3mx", true}, {"\x1b[4:0mx", false}, {"\x1b[4;24mx", false},
        {"\x1b[4;0mx", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ((first_cell(c.input).flags & Cell::UNDERLINE) != 0, c.underline) << testing::PrintToString(c.input);
}

// Bold and italic are kept per cell, for the faces they are drawn in, both halves of a wide
// character included.
TEST(AnsiStyle, BoldAndItalicAreKeptPerCell)
{
    struct Case {
        std::string input;
        uint8_t faces;
    };
    const std::vector<Case> cases = {
        {"x", 0},
        {"\x1b[1mx", Cell::BOLD},
        {"\x1b[3mx", Cell::ITALIC},
        {"\x1b[1;3mx", Cell::BOLD | Cell::ITALIC},
        {"\x1b[1;3;22mx", Cell::ITALIC},
        {"\x1b[1;3;23mx", Cell::BOLD},
        {"\x1b[1;3;0mx", 0},
        {"\x1b[2;3mx", Cell::ITALIC},  // faint is no weight of its own
        {"\x1b[3;1m\xe6\xbc\xa2", Cell::BOLD | Cell::ITALIC | Cell::WIDE},
    };
    for (const Case& c : cases) {
        const Cell cell = first_cell(c.input);
        EXPECT_EQ(cell.flags & (Cell::BOLD | Cell::ITALIC | Cell::WIDE), c.faces) << testing::PrintToString(c.input);
    }
    Grid grid = make_grid({10, 10}, rgb_of_hex(0xffffff), rgb_of_hex(0x000000), 8);
    AnsiParser parser;
    ansi_feed(parser, grid, "\x1b[1;3m\xe6\xbc\xa2");
    EXPECT_EQ(grid.rows.at(0).cells.at(1).flags & (Cell::BOLD | Cell::ITALIC), Cell::BOLD | Cell::ITALIC);
}

TEST(AnsiStyle, EraseFillsWithTheStylesBackground)
{
    Grid grid = make_grid({10, 10}, rgb_of_hex(0xffffff), rgb_of_hex(0x000000), 8);
    AnsiParser parser;
    ansi_feed(parser, grid, "abcdef\x1b[44m\x1b[4D\x1b[K\x1b[7;41m\x1b[1G\x1b[1K\x1b[4m\x1b[3Cy");
    const Row& row = grid.rows.at(0);
    ASSERT_EQ(row.length, 6);
    EXPECT_EQ(hex_of_rgb(row.cells.at(0).background), 0xcd0000u);  // reverse plays no part
    EXPECT_EQ(hex_of_rgb(row.cells.at(2).background), 0x0000eeu);   // erased by K, made explicit by y
    EXPECT_EQ(cell_text(row, row.cells.at(3)), "y");
    EXPECT_EQ(row.cells.size(), 4u);
    EXPECT_EQ(hex_of_rgb(row.erased_background), 0x0000eeu);
    EXPECT_EQ(row.cells.at(1).flags, 0);
}

// A page cut from terminal output begins with the sequence of the style in force: read back,
// it sets that style again from any other, and from the default it is no sequence at all.
TEST(AnsiStyle, TheSequenceOfAStyleSetsItAgain)
{
    EXPECT_EQ(sgr_sequence(Style{}), "");
    for (const std::string sgr : {"\x1b[1;31m", "\x1b[2;44;38;5;200m", "\x1b[4;7;9;53m", "\x1b[21;8m",
                                  "\x1b[38;2;1;2;3;48;2;250;251;252;58;5;17m", "\x1b[4:3;58;2;9;8;7m",
                                  "\x1b[1;97;100m", "\x1b[3;1;36m"}) {
        SCOPED_TRACE(sgr.substr(1));
        Grid written = make_grid(GridLimits{0, 0}, Rgb{}, Rgb{}, 8);
        AnsiParser parser;
        ansi_feed(parser, written, sgr);
        ASSERT_NE(written.style, Style{});
        Grid again = make_grid(GridLimits{0, 0}, Rgb{}, Rgb{}, 8);
        AnsiParser other;
        ansi_feed(other, again, "\x1b[3;5;32;41;4m" + sgr_sequence(written.style));
        EXPECT_EQ(again.style, written.style);
    }
}
