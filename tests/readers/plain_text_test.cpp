#include "readers/plain_text.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "canvas/draw.hpp"
#include "support/started_page.hpp"
#include "support/test_support.hpp"

using namespace vedad;
using namespace vedad_test;

namespace {

constexpr int WIDTH = 300;
constexpr int HEIGHT = 80;
constexpr double POINTS = 7.0;
const int BLACK = rgb(0, 0, 0);
const int WHITE = rgb(255, 255, 255);

struct StreamCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using Stream = std::unique_ptr<FILE, StreamCloser>;

// A stream holding exactly `contents`, NUL bytes included.
Stream stream_of(const std::string& contents)
{
    Stream stream(std::tmpfile());
    std::fwrite(contents.data(), 1, contents.size(), stream.get());
    std::rewind(stream.get());
    return stream;
}

// A page as the set-up leaves it: black, white text, Courier, cell measured, pen on the
// first baseline.
struct Page : StartedPage {
    TextExtent extent;
    explicit Page(int32_t line_spacing = 2) : StartedPage(WIDTH, HEIGHT, line_spacing) {}
    void read(const std::string& input, int first_char = 0, int consumed = 0)
    {
        Stream stream = stream_of(input);
        for (int i = 0; i < consumed; ++i) std::fgetc(stream.get());
        read_plain_text(canvas, stream.get(), extent, first_char);
    }
};

struct Case {
    const char* name;
    std::string input;
    int first_char;
    int consumed;  // characters taken from the stream before the reader starts
    std::vector<std::string> rows;
};

std::vector<Case> cases()
{
    const std::string b10237(10237, 'b');
    return {
        {"empty input", "", 0, 0, {}},
        {"one line", "abc\n", 0, 0, {"abc"}},
        {"last line without line feed", "abc", 0, 0, {"abc"}},
        {"two lines, last without line feed", "abc\nde", 0, 0, {"abc", "de"}},
        {"empty second row", "abc\n\n", 0, 0, {"abc", ""}},
        {"long row then short row", "a much longer row\nab\n", 0, 0, {"a much longer row", "ab"}},
        {"controls are handed on, a tab reaches the next stop", "a\tb\x01z\n", 0, 0, {"a       b\x01z"}},
        {"NUL hides the rest of its line", std::string("ab\0cd\nef\n", 9), 0, 0, {"ab", "ef"}},
        {"NUL at the start of a line", std::string("\0abc\nd\n", 7), 0, 0, {"", "d"}},
        {"CR LF line", "abc\r\nde\r\n", 0, 0, {"abc", "de"}},
        {"CR inside a line", "ab\rc\n", 0, 0, {"abc"}},
        {"only CRs", "\r\r\n\r", 0, 0, {"", ""}},
        {"10237 characters are one row", b10237 + "\n", 0, 0, {b10237}},
        {"10238 characters are a full row and an empty one", b10237 + "c\n", 0, 0, {b10237 + "c", ""}},
        {"10239 characters are a full row and a row of one", b10237 + "cd\n", 0, 0, {b10237 + "c", "d"}},
        {"a long last line without line feed", b10237 + "cd", 0, 0, {b10237 + "c", "d"}},
        {"handed back in front of the first line", "yz\nnext\n", 'x', 0, {"xyz", "next"}},
        {"handed back and nothing left", "", 'x', 0, {"x"}},
        {"handed back line feed is an empty row", "abc\n", '\n', 0, {"", "abc"}},
        {"handed back line feed and nothing left", "", '\n', 0, {""}},
        {"handed back before a line feed", "\nab", 'x', 0, {"x", "ab"}},
        {"handed back byte above 127", "\xA9\n", 0xC3, 0, {"\xC3\xA9"}},
        {"handed back shares the first row's room", b10237 + "\n", 'x', 0, {std::string("x") + b10237, ""}},
        {"handed back with one character less", b10237.substr(1) + "\n", 'x', 0, {std::string("x").append(b10237.substr(1))}},
        {"no handed back: read on from where the stream stands", "abc\nde\n", 0, 1, {"bc", "de"}},
    };
}

}  // namespace

TEST(PlainText, DrawsEachPieceAsOneRowAndKeepsTheExtent)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        // The reader gives no meaning to the character cell settings.
        for (const bool odd_cell : {false, true}) {
            Page page;
            if (odd_cell) {
                page.canvas.settings.fixed_advance = 1;
                page.canvas.cell_width += 5;
            }
            const int32_t line_height = page.canvas.line_height;
            page.read(c.input, c.first_char, c.consumed);

            int widest = 0;
            for (const std::string& row : c.rows) widest = std::max(widest, measure_string("Courier", POINTS, row).width);
            EXPECT_EQ(page.extent.x, widest);
            EXPECT_EQ(page.extent.y, static_cast<int32_t>(c.rows.size()) * line_height);
            EXPECT_EQ(canvas_position(page.canvas),
                      std::make_pair(0, static_cast<int32_t>(c.rows.size() + 1) * line_height));
            const Image expected = draw_rows(WIDTH, HEIGHT, BLACK, WHITE, "Courier", POINTS, line_height, c.rows);
            EXPECT_EQ(compare_images(page.copy(), expected), "");
        }
    }
}

// A tab is drawn as the spaces that reach the next stop, counted in characters from the
// start of the line; the row is then one text like any other.
TEST(PlainText, TabsReachTheNextTabStop)
{
    const std::string most(EXPANDED_ROW_MAX, ' ');
    struct Case {
        int32_t tab_width;
        std::string line;
        std::string row;
        // false: the row holds a character of four bytes, which libgd reads as four; it is
        // compared with the program's own drawing of the row instead
        bool libgd_reads_it = true;
    };
    const Case cases[] = {
        {8, "a\tb", "a       b"},
        {8, "abc\td", "abc     d"},
        {8, "\xc3\xa9\tx", "\xc3\xa9       x"},  // é is one character
        {8, "\tx", "        x"},
        {8, "abcdefgh\tx", "abcdefgh        x"},
        {8, "a\t\tb\tc", "a               b       c"},
        {8, "\xe2\x94\x80\xe6\xbc\xa2\tx", "\xe2\x94\x80\xe6\xbc\xa2      x"},
        {8, "\xf0\x9f\x98\x80\tx", "\xf0\x9f\x98\x80       x", false},
        // Bytes that begin no character count one each, whatever libgd draws for them.
        {8, "\xff\tx", "\xff       x"},
        {8, "\xe2\x94\tx", "\xe2\x94      x"},
        {8, "&amp;\tx", "&amp;   x"},
        {8, "ab\r\tc\r", "ab      c"},  // carriage returns are gone before the tabs are counted
        {4, "a\tb", "a   b"},
        {4, "abc\td", "abc d"},
        {4, "abcd\te", "abcd    e"},
        {1, "a\t\tb", "a  b"},
        {0, "a\tb\t", "ab"},
        {-3, "\ta\t\tb", "ab"},
        // Rows are held to EXPANDED_ROW_MAX bytes: what lies past it is dropped.
        {INT32_MAX, "a\tb", std::string("a").append(most.substr(1))},
        {8, std::string(PLAIN_TEXT_PIECE_MAX, '\t'), most},
        {9, std::string(PLAIN_TEXT_PIECE_MAX, '\t'), most},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.line.substr(0, 20) << "\" tab " << c.tab_width);
        Page page;
        page.canvas.settings.tab_width = c.tab_width;
        page.read(c.line + "\n");
        if (!c.libgd_reads_it) {
            Page reference;
            reference.read(c.row + "\n");
            EXPECT_EQ(page.extent.x, reference.extent.x);
            EXPECT_EQ(compare_images(page.copy(), reference.copy()), "");
            continue;
        }
        const std::vector<std::string> rows = {c.row};
        EXPECT_EQ(page.extent.x, measure_string("Courier", POINTS, c.row).width);
        const Image expected = draw_rows(WIDTH, HEIGHT, BLACK, WHITE, "Courier", POINTS, page.canvas.line_height, rows);
        EXPECT_EQ(compare_images(page.copy(), expected), "");
    }
}

TEST(PlainText, OnlyRaisesTheExtent)
{
    Page page;
    page.extent.x = 500;
    page.extent.y = 500;
    page.read("abc\n\n\n");
    EXPECT_EQ(page.extent.x, 500);
    EXPECT_EQ(page.extent.y, 500);

    // Rows that move up never raise the extent above the caller's start.
    Page upwards(-1000);
    ASSERT_LT(upwards.canvas.line_height, 0);
    upwards.read("abc\nde\n");
    EXPECT_EQ(upwards.extent.x, measure_string("Courier", POINTS, "abc").width);
    EXPECT_EQ(upwards.extent.y, 0);
    EXPECT_EQ(upwards.canvas.pen_y, 3 * upwards.canvas.line_height);
}
