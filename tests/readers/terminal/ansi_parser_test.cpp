#include "readers/terminal/ansi_parser.hpp"
#include "readers/character_width.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace vedad;

namespace {

constexpr Rgb WHITE = rgb_of_hex(0xffffff);
constexpr Rgb BLACK = rgb_of_hex(0x000000);

Grid screen_of(std::string_view input, GridLimits kept = {100, 100}, int32_t tab_width = 8, int32_t width = 0)
{
    Grid grid = make_grid(kept, WHITE, BLACK, tab_width, width);
    AnsiParser parser;
    ansi_feed(parser, grid, input);
    return grid;
}

// The kept rows as text: each cell's text, the second half of a wide character as "»", and
// the spaces an erase left at a row's end.
std::vector<std::string> rows_of(const Grid& grid)
{
    std::vector<std::string> rows;
    for (const Row& row : grid.rows) {
        std::string text;
        for (const Cell& cell : row.cells) {
            if ((cell.flags & Cell::WIDE_TAIL) != 0) text += "»";
            else text += cell_text(row, cell);
        }
        text += std::string(static_cast<size_t>(row.length) - row.cells.size(), ' ');
        rows.push_back(text);
    }
    return rows;
}

std::string repeated(std::string_view text, size_t count)
{
    std::string made;
    for (size_t i = 0; i < count; ++i) made += text;
    return made;
}

struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> rows;
};

void expect_rows(const std::vector<Case>& cases, int32_t tab_width = 8, int32_t width = 0)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rows_of(screen_of(c.input, {100, 100}, tab_width, width)), c.rows);
    }
}

}  // namespace

TEST(AnsiParser, MovesTheCursorAsATerminalDoes)
{
    expect_rows({
        {"lines", "ab\ncd", {"ab", "cd"}},
        {"an empty line between", "a\n\nb\n", {"a", "", "b"}},
        {"carriage return overwrites", "abc\rX", {"Xbc"}},
        {"a progress bar ends as its last state", "[#   ]\r[##  ]\r[####]\n", {"[####]"}},
        {"backspace", "ab\bX", {"aX"}},
        {"backspace at the start stays", "\b\bX", {"X"}},
        {"tab to the next stop", "a\tb\tc", {"a       b       c"}},
        {"tab from a stop", "12345678\tx", {"12345678        x"}},
        {"skipped cells are spaces", "\x1b[3Cx", {"   x"}},
        {"left", "abc\x1b[2Dx", {"axc"}},
        {"up", "a\nb\x1b[Ax", {"ax", "b"}},
        {"up is held at the top", "\x1b[5Ax", {"x"}},
        {"down", "a\x1b[2Bx", {"a", "", " x"}},
        {"next line", "a\x1b[2Ex", {"a", "", "x"}},
        {"previous line", "\nab\x1b[Fx", {"x", "ab"}},
        {"column", "abcd\x1b[2Gx", {"axcd"}},
        {"column 0 counts 1", "abcd\x1b[0Gx", {"xbcd"}},
        {"position", "\x1b[2;3Hx", {"", "  x"}},
        {"position with f and defaults", "ab\ncd\x1b[;fx\x1b[Hy", {"yb", "cd"}},
        {"left held at column 0", "ab\x1b[9Dx", {"xb"}},
    });
}

// The sequences full-screen programs and line-drawing tools send, as a terminal shows them.
TEST(AnsiParser, FollowsWhatTerminalsDoWithTheCursorAndTheScreen)
{
    expect_rows({
        {"cursor saved and restored by ESC 7 and 8", "ab\x1b" "7cd\x1b" "8X", {"abXd"}},
        {"cursor saved and restored by CSI s and u", "ab\x1b[scd\x1b[uX", {"abXd"}},
        {"a restore with nothing saved goes home", "ab\x1b" "8X", {"Xb"}},
        {"row of the cursor's column", "ab\x1b[3dX", {"ab", "", "  X"}},
        {"erase characters, nothing moves", "abcdef\x1b[2G\x1b[2Xx", {"ax def"}},
        {"erase characters past the end", "abc\x1b[2G\x1b[9X", {"a  "}},
        {"insert characters", "abcd\x1b[2G\x1b[2@xy", {"axybcd"}},
        {"delete characters", "abcdef\x1b[2G\x1b[2Px", {"axef"}},
        {"delete past the end", "abc\x1b[2G\x1b[9P", {"a"}},
        {"insert rows", "a\nb\nc\x1b[2;2H\x1b[2Lx", {"a", "x", "", "b", "c"}},
        {"delete rows", "a\nb\nc\nd\x1b[2;2H\x1b[2Mx", {"a", "x"}},
        {"scroll up, the cursor staying", "a\nb\nc\x1b[Sx", {"b", "c", " x"}},
        {"scroll down, the cursor staying", "a\nb\x1b[2Tx", {"", " x", "a", "b"}},
        {"form feed and vertical tab move down", "a\x0c" "b\x0b" "c", {"a", "b", "c"}},
        {"line drawing", "\x1b(0lqk\x1b(Bx", {"\xe2\x94\x8c\xe2\x94\x80\xe2\x94\x90x"}},
        {"line drawing leaves letters below 0x5f", "\x1b(0AZ\x1b(B", {"AZ"}},
        {"the alternate screen is gone when left", "main\x1b[?1049hfull\nscreen\x1b[?1049lX", {"mainX"}},
        {"47 and 1047 too, without the cursor", "ab\x1b[?47hzz\x1b[?47lc", {"ab  c"}},
        {"other private modes change nothing", "a\x1b[?25l\x1b[?1hb", {"ab"}},
    });
}

// A terminal four columns wide wraps as xterm does.
TEST(AnsiParser, WrapsAtTheTerminalsWidth)
{
    expect_rows(
        {
            {"a long row", "abcdefghij", {"abcd", "efgh", "ij"}},
            {"exactly the width, then a line end: no empty row", "abcd\nx", {"abcd", "x"}},
            {"a wide character that does not fit moves whole", "abc\xe6\xbc\xa2" "d", {"abc", "\xe6\xbc\xa2»d"}},
            {"a carriage return at the pending wrap", "abcd\rX", {"Xbcd"}},
            {"a cursor move ends the pending wrap", "abcd\x1b[2DX", {"aXcd"}},
            {"a mark joins the last character", "abcd\xcc\x81x", {"abcd\xcc\x81", "x"}},
            {"moves are held to the width", "a\x1b[99CX\x1b[99GY", {"a  Y"}},
            {"a tab stops at the last column", "a\tb", {"a  b"}},
        },
        8, 4);
}

TEST(AnsiParser, TabStopsFollowTheTabWidth)
{
    expect_rows({{"every 4 columns", "a\tbcde\tf", {"a   bcde    f"}}}, 4);
    expect_rows({{"no tab width: tabs are dropped", "a\tb", {"ab"}}}, 0);
    expect_rows({{"negative tab width", "a\tb", {"ab"}}}, -3);
}

TEST(AnsiParser, ConsumesEverythingThatIsNotText)
{
    expect_rows({
        {"private and unknown sequences", "a\x1b[?25lb\x1b[sc\x1b[5nd\x1b[1 qe\x1b[>1;2cf", {"abcdef"}},
        {"hyperlinks end with ST or BEL", "\x1b]8;;http://x\x1b\\link\x1b]8;;\x07!", {"link!"}},
        {"a title", "\x1b]0;title\x07x", {"x"}},
        {"device control, private and application strings", "a\x1bPq#0\x1b\\b\x1b^pm\x1b\\c\x1b_apc\x07" "d", {"abcd"}},
        {"two-byte and charset escapes", "a\x1b" "7b\x1b(Bc\x1b)0d\x1b=e", {"abcde"}},
        {"stray controls", std::string("a\x07\x0e\x00\x7f", 5) + "b", {"ab"}},
        {"C1 controls in UTF-8", "a\xc2\x85\xc2\x9b" "b", {"ab"}},
        {"an escape inside a sequence starts a new one", "a\x1b[3\x1b[31mb", {"ab"}},
        {"cancel ends a sequence", "a\x1b[3\x18" "b", {"ab"}},
        {"controls inside a sequence are ignored", "\x1b[2\n;3Hx", {"", "  x"}},
        {"a string swallows what looks like text", "\x1b]0;a\nb\x07" "c", {"c"}},
        {"an escape ends a string", "\x1b]0;t\x1b[1Cx", {" x"}},
    });
}

TEST(AnsiParser, DropsASequenceCutByTheEndOfInput)
{
    for (const char* tail : {"\x1b", "\x1b[", "\x1b[31;4", "\x1b]8;;http://x", "\x1bP", "\x1b(", "\x1b]0;t\x1b"}) {
        SCOPED_TRACE(testing::PrintToString(tail));
        const Grid grid = screen_of(std::string("ab") + tail);
        EXPECT_EQ(rows_of(grid), std::vector<std::string>{"ab"});
        EXPECT_EQ(grid.longest_row, 2);
    }
}

TEST(AnsiParser, ReadsUtf8CharactersAndTheirWidths)
{
    expect_rows({
        {"two, three and four bytes", "é─\xf0\x9d\x90\x80", {"é─\xf0\x9d\x90\x80"}},
        {"a wide character takes two cells", "漢x", {"漢»x"}},
        {"a combining mark joins the cell before", "e\xcc\x81x", {"e\xcc\x81x"}},
        {"a combining mark after a wide character", "漢\xcc\x81", {"漢\xcc\x81»"}},
        {"a combining mark at the start of a row is dropped", "\xcc\x81" "a\n\xcc\x81", {"a"}},
        {"marks beyond the cell's room are dropped", std::string("a").append(repeated("\xcc\x81", 14)),
         {std::string("a").append(repeated("\xcc\x81", 13))}},
        {"overwriting half of a wide character leaves a space", "漢\bx", {" x"}},
        {"writing over the first half", "漢\rx", {"x "}},
        {"an invalid byte stands for itself", "a\xff" "b", {"a\xff" "b"}},
        {"a character cut short: each byte stands for itself", "\xe6\xbc" "x", {"\xe6\xbcx"}},
        {"overlong and surrogate forms are bytes", "\xc0\xaf\xed\xa0\x80", {"\xc0\xaf\xed\xa0\x80"}},
        {"a character cut by an escape", "\xe6\x1b[31mx", {"\xe6x"}},
    });
}

// A grapheme cluster is one cell, or two when it is wide or an emoji sequence; a character
// that continues the cluster before the cursor joins its cell, across a change of style.
TEST(AnsiParser, GraphemeClustersTakeOneCellOrTwo)
{
    const std::string flag = "\U0001F1EB\U0001F1F7";
    const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
    const std::string family_of_four = family + "\u200D\U0001F466";
    const std::string thumbs = "\U0001F44D\U0001F3FD";
    const std::string keycap = "1\uFE0F\u20E3";
    const std::string heart = "\u2764\uFE0F";
    expect_rows({
        {"a flag", flag + "x", {flag + "»x"}},
        {"two flags", flag + "\U0001F1E9\U0001F1EA", {flag + "»\U0001F1E9\U0001F1EA»"}},
        {"a ZWJ sequence", family + "x", {family + "»x"}},
        {"a family of four fits its cell", family_of_four, {family_of_four + "»"}},
        {"a skin tone", thumbs + "x", {thumbs + "»x"}},
        {"a keycap", keycap + "x", {keycap + "»x"}},
        {"a VS16 sequence", heart + "x", {heart + "»x"}},
        {"a base and its marks", "e\u0301\u0323x", {"e\u0301\u0323x"}},
        {"a spacing vowel sign joins its consonant", "\u0915\u093E\u0916", {"\u0915\u093E\u0916"}},
        {"across a change of style", "\U0001F1EB\x1b[31m\U0001F1F7x", {flag + "»x"}},
        {"a cursor move ends the cluster", "\U0001F1EB\x1b[C\U0001F1F7", {"\U0001F1EB \U0001F1F7"}},
        {"a joiner after a letter joins no emoji to it", "a\u200D\U0001F469", {"a\u200D\U0001F469»"}},
        {"a sequence cut short at the end of input", "\U0001F468\u200D", {"\U0001F468\u200D»"}},
        {"a tone alone is a wide character", "\U0001F3FD", {"\U0001F3FD»"}},
        // Texts longer than a cell holds live beside the row: written over, moved and erased
        // as any other.
        {"long texts written over and over", repeated("\r" + family + family_of_four + "x", 40) + "\ry",
         {"y " + family_of_four + "»x"}},
        {"a long text moved by an insertion", family + "x\r\x1b[2@", {"  " + family + "»x"}},
        {"a long text moved by a deletion", "ab" + family_of_four + "\r\x1b[2P", {family_of_four + "»"}},
        {"a long text erased", family + "\r\x1b[K" + family_of_four, {family_of_four + "»"}},
    });
    expect_rows({
                    {"a flag written at the last column stays in it", "ab" + flag + "x", {"ab" + flag, "x"}},
                    {"a flag that fits widens in place", "a" + flag + "x", {"a" + flag + "»", "x"}},
                },
                8, 3);
    // A row written over a thousand times keeps no more long texts than it has cells, or a few.
    EXPECT_LE(screen_of(repeated("\r" + family_of_four, 1000)).rows.at(0).long_texts.size(), 9u);
}

// A lead byte with a second byte that would make an overlong form, a surrogate or a code point
// past U+10FFFF begins no character: each byte is a cell of its own, as any malformed byte
// is. The same lead bytes with the nearest second byte allowed make one character.
TEST(AnsiParser, GuardedSecondBytesMakeCellsOfSingleBytes)
{
    const struct {
        const char* name;
        std::string input;
        std::vector<std::string> cells;
    } cases[] = {
        {"overlong three bytes", "\xe0\x80\x80", {"\xe0", "\x80", "\x80"}},
        {"the longest overlong three bytes", "\xe0\x9f\xbf", {"\xe0", "\x9f", "\xbf"}},
        {"the first surrogate", "\xed\xa0\x80", {"\xed", "\xa0", "\x80"}},
        {"the last surrogate", "\xed\xbf\xbf", {"\xed", "\xbf", "\xbf"}},
        {"overlong four bytes", "\xf0\x80\x80\x80", {"\xf0", "\x80", "\x80", "\x80"}},
        {"the longest overlong four bytes", "\xf0\x8f\xbf\xbf", {"\xf0", "\x8f", "\xbf", "\xbf"}},
        {"past U+10FFFF", "\xf4\x90\x80\x80", {"\xf4", "\x90", "\x80", "\x80"}},
        {"U+0800", "\xe0\xa0\x80", {"\xe0\xa0\x80"}},
        {"U+10000", "\xf0\x90\x80\x80", {"\xf0\x90\x80\x80"}},
        {"U+D7A3", "\xed\x9e\xa3", {"\xed\x9e\xa3", ""}},
        {"U+100000", "\xf4\x80\x80\x80", {"\xf4\x80\x80\x80"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> cells;
        for (const Row& row : screen_of(c.input).rows)
            for (const Cell& cell : row.cells)
                cells.emplace_back((cell.flags & Cell::WIDE_TAIL) != 0 ? std::string_view() : cell_text(row, cell));
        EXPECT_EQ(cells, c.cells);
    }
}

TEST(AnsiParser, CharacterWidthsComeFromAUtf8Locale)
{
    const std::vector<std::pair<char32_t, int>> cases = {
        {U'a', 1}, {U'\u00e9', 1}, {U'\u2500', 1}, {U'\u0301', 0}, {U'\u6f22', 2},
        {U'\uff21', 2}, {U'\U0001f600', 2}, {U'\u0085', -1}, {U'\n', -1}, {U'\u007f', -1},
    };
    for (const auto& [character, width] : cases)
        EXPECT_EQ(character_width(character), width) << std::hex << static_cast<uint32_t>(character);
}

TEST(AnsiParser, ErasesWithoutLengtheningARow)
{
    expect_rows({
        {"to the end of the line", "abcdef\x1b[3D\x1b[K", {"abc   "}},
        {"to the cursor", "abcdef\x1b[3D\x1b[1K", {"    ef"}},
        {"the whole line", "abcdef\x1b[2K", {"      "}},
        {"past the end erases nothing more", "ab\x1b[5C\x1b[1K", {"  "}},
        {"at the end erases nothing", "ab\x1b[K", {"ab"}},
        {"an empty row stays empty", "a\n\x1b[2K", {"a"}},
        {"to the end of the display", "ab\ncd\nef\x1b[A\x1b[D\x1b[J", {"ab", "c ", "  "}},
        {"to the cursor in the display", "ab\ncd\nef\x1b[A\x1b[D\x1b[1J", {"  ", "  ", "ef"}},
        {"to the cursor in the display keeps the rest of its row", "abcd\nefgh\x1b[2D\x1b[1J", {"    ", "   h"}},
        {"the whole display", "ab\ncd\x1b[2J", {"  ", "  "}},
        {"written again after an erase", "abcd\x1b[2K\x1b[3Gx", {"  x "}},
        {"half of a wide character erased", "a漢b\x1b[3G\x1b[1K", {"   b"}},
    });
}

TEST(AnsiParser, HoldsHugeMovesAndKeepsOnlyTheCellsAsked)
{
    Grid far = screen_of("\x1b[99999999;99999999Hx\x1b[9999999999Cy\x1b[9999999999Bz", {100, 100});
    EXPECT_TRUE(far.rows.empty());
    EXPECT_EQ(far.longest_row, int64_t{GRID_POSITION_LIMIT} + 1);
    EXPECT_EQ(far.first_row, 99999998);
    EXPECT_EQ(far.last_row, GRID_POSITION_LIMIT);

    Grid small = screen_of("abcdef\nghijk\n\nlmn\x1b[1;2H\x1b[2K", {2, 3});
    EXPECT_EQ(rows_of(small), (std::vector<std::string>{"   ", "ghi"}));
    EXPECT_EQ(small.longest_row, 6);
    EXPECT_EQ(small.first_row, 0);
    EXPECT_EQ(small.last_row, 3);

    Grid nothing = screen_of("\n\n\x1b[5;5H\x1b[31m\x1b]0;x\x07");
    EXPECT_TRUE(nothing.rows.empty());
    EXPECT_EQ(nothing.longest_row, 0);
    EXPECT_EQ(nothing.last_row, -1);
}

TEST(AnsiParser, FeedsSequencesSplitAcrossCalls)
{
    const std::string input = "a\x1b[31;1mb\xe6\xbc\xa2\x1b]8;;u\x1b\\c\r\x1b[2Cd";
    const Grid whole = screen_of(input);
    for (size_t cut = 0; cut <= input.size(); ++cut) {
        Grid grid = make_grid({100, 100}, WHITE, BLACK, 8);
        AnsiParser parser;
        ansi_feed(parser, grid, std::string_view(input).substr(0, cut));
        ansi_feed(parser, grid, std::string_view(input).substr(cut));
        EXPECT_EQ(rows_of(grid), rows_of(whole)) << "cut at " << cut;
        EXPECT_EQ(grid.rows[0].cells[1].foreground, whole.rows[0].cells[1].foreground) << "cut at " << cut;
    }
    EXPECT_EQ(rows_of(whole), std::vector<std::string>{"abd c"});
}
