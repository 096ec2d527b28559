#include "readers/html_spans.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "canvas/draw.hpp"
#include "main/render_page.hpp"
#include "support/messages.hpp"
#include "support/test_support.hpp"

using namespace vedad;
using vedad_test::NOT_HTML_WARNING;

namespace {

// What a page read from a stream that is not named says of HTML that is not span HTML.
const std::string FOREIGN_HTML_WARNING =
    "warning: standard input is not one span per character; to draw a terminal's output, give it raw with "
    "--ansi-input\n";

// Tokens read one after another from a memory stream, with each call's result.
struct TokenRead {
    int result;
    std::string token;
};

std::vector<TokenRead> read_all_tokens(const std::string& input, size_t size)
{
    std::string data = input;
    FILE* stream = fmemopen(data.data(), data.size(), "rb");
    EXPECT_NE(stream, nullptr);
    std::vector<TokenRead> reads;
    std::vector<char> buffer(size, 'X');
    for (;;) {
        const int result = read_token(stream, buffer.data(), size);
        // The stored length is found from the buffer's end so that NUL bytes in a token count.
        size_t length = size - 1;
        while (length > 0 && buffer[length] != '\0') --length;
        if (buffer[length] != '\0') length = 0;
        reads.push_back({result, std::string(buffer.data(), length)});
        std::fill(buffer.begin(), buffer.end(), 'X');
        if (result == 0) break;
    }
    std::fclose(stream);
    return reads;
}

struct Setup {
    int html_input = 1;
    int transparent = 0;
    int fixed_advance = 0;
    double font_size = 0.025;
    int char_spacing = 0;
    int line_spacing = 2;
    int width = 160;
    int height = 100;
};

// One page drawn from `input` exactly as a conversion draws it, with what went to stderr.
struct Page {
    Canvas canvas{};
    TextExtent extent{-1, -1};
    std::string err;
    bool read_error = false;

    explicit Page(const std::string& input, Setup setup = {})
    {
        canvas_init(canvas);
        canvas.settings.fixed_advance = setup.fixed_advance;
        canvas.settings.font_size = setup.font_size;
        canvas.settings.char_spacing = setup.char_spacing;
        canvas.settings.line_spacing = setup.line_spacing;
        Options options;
        set_default_options(options);
        options.input_form = setup.html_input != 0 ? InputForm::SPAN_HTML : InputForm::PLAIN_TEXT;
        options.transparent = setup.transparent;
        canvas_create(canvas, setup.width, setup.height);

        std::string data = input;
        FILE* stream = fmemopen(data.data(), data.size(), "rb");
        EXPECT_NE(stream, nullptr);
        testing::internal::CaptureStderr();
        render_page(canvas, options, stream, extent);
        err = testing::internal::GetCapturedStderr();
        std::fclose(stream);
    }
    ~Page() { canvas_destroy(canvas); }
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    int at(int x, int y) const { return gdImageGetTrueColorPixel(canvas.image, x, y); }
};

testing::AssertionResult same_pixels(const Page& a, const Page& b)
{
    const int width = gdImageSX(a.canvas.image);
    const int height = gdImageSY(a.canvas.image);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (a.at(x, y) != b.at(x, y))
                return testing::AssertionFailure() << "pixels differ first at (" << x << ", " << y << ")";
        }
    }
    return testing::AssertionSuccess();
}

int count_pixels(const Page& page, int x0, int y0, int x1, int y1, int color)
{
    int count = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) count += page.at(x, y) == color ? 1 : 0;
    return count;
}

// One span per character of each row, white on the default black, rows ended by line breaks.
std::string white_spans(const std::vector<std::string>& rows)
{
    std::string html;
    for (const std::string& row : rows) {
        for (const char c : row) html += "<span>" + (c == ' ' ? std::string("&nbsp;") : std::string(1, c)) + "</span>";
        html += "<br/>";
    }
    return html;
}

// A transparent page laid over black, as a viewer would show it.
testing::AssertionResult same_as_over_black(const Page& opaque, const Page& transparent)
{
    const int width = gdImageSX(opaque.canvas.image);
    const int height = gdImageSY(opaque.canvas.image);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int shown = gdAlphaBlend(vedad_test::rgb(0, 0, 0), transparent.at(x, y));
            if (opaque.at(x, y) != shown)
                return testing::AssertionFailure() << "pixels differ first at (" << x << ", " << y << "): 0x"
                                                   << std::hex << opaque.at(x, y) << " against 0x" << shown;
        }
    }
    return testing::AssertionSuccess();
}

int rgb(int r, int g, int b) { return vedad_test::rgb(r, g, b); }
const int BLACK = rgb(0, 0, 0);
const int BLUE = rgb(0, 0, 255);

}  // namespace

TEST(ReadToken, CutsTokensAtSeparatorsAndAtTheBufferLimit)
{
    const std::string long_token = std::string(1023, 'a') + "Z" + "b";
    struct Case {
        const char* name;
        std::string input;
        size_t size;
        std::vector<TokenRead> expected;
    };
    const std::vector<Case> cases = {
        {"empty input", "", 1024, {{0, ""}}},
        {"only separators", " \t\r\n<>", 1024, {{0, ""}}},
        {"every separator ends a token", "<a b\tc\rd\ne>f<", 1024,
         {{1, "a"}, {1, "b"}, {1, "c"}, {1, "d"}, {1, "e"}, {1, "f"}, {0, ""}}},
        {"a token cut by the end of input", "<span>ab", 1024, {{1, "span"}, {0, "ab"}}},
        {"NUL and high bytes are token characters", std::string("<a\0\xff>", 5), 1024,
         {{1, std::string("a\0\xff", 3)}, {0, ""}}},
        {"the character after the limit is dropped", "abcdefg h>", 4, {{1, "abc"}, {1, "efg"}, {1, "h"}, {0, ""}}},
        {"a separator at the limit ends the token", "abc>d>", 4, {{1, "abc"}, {1, "d"}, {0, ""}}},
        {"the input ending at the limit", "abc", 4, {{0, "abc"}}},
        {"1023 characters fill the token buffer", long_token + ">", 1024,
         {{1, std::string(1023, 'a')}, {1, "b"}, {0, ""}}},
        {"size 1 stores nothing and drops one character", "ab c", 1, {{1, ""}, {1, ""}, {1, ""}, {0, ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<TokenRead> reads = read_all_tokens(c.input, c.size);
        ASSERT_EQ(reads.size(), c.expected.size());
        for (size_t i = 0; i < reads.size(); ++i) {
            EXPECT_EQ(reads[i].result, c.expected[i].result) << "read " << i;
            EXPECT_EQ(reads[i].token, c.expected[i].token) << "read " << i;
        }
    }
}

TEST(ReadHtmlSpans, InputNotStartingWithLessThanIsDrawnAsPlainText)
{
    struct Case {
        const char* name;
        std::string input;
        std::string plain;  // what the plain text reader draws the same
    };
    const std::vector<Case> cases = {
        {"empty input", "", ""},
        {"leading blank", " <span>A</span>\n", " <span>A</span>\n"},
        {"leading line feed", "\n<span>A</span>", "\n<span>A</span>"},
        {"byte-order mark", "\xEF\xBB\xBF<span>A</span>", "\xEF\xBB\xBF<span>A</span>"},
        {"one character, the handed-back one", "x", "x"},
        {"leading NUL: plain text starts at the second byte", std::string("\0<span>A</span>\nb", 17),
         "<span>A</span>\nb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Page html(c.input);
        Page plain(c.plain, {.html_input = 0});
        EXPECT_EQ(html.err, NOT_HTML_WARNING);
        EXPECT_EQ(html.extent.x, plain.extent.x);
        EXPECT_EQ(html.extent.y, plain.extent.y);
        EXPECT_TRUE(same_pixels(html, plain));
    }
    Page empty("");
    EXPECT_EQ(empty.extent.x, 0);
    EXPECT_EQ(empty.extent.y, 0);
}

TEST(ReadHtmlSpans, InputWithoutDrawingTokensDrawsNothingAndSaysNothing)
{
    // Line breaks move the pen, but the extent stays empty so that cropping leaves the page.
    for (const char* input : {"<", "<br/><br/>\n<br/>", "<p>text outside</p>"}) {
        SCOPED_TRACE(input);
        Page page(input);
        EXPECT_EQ(page.err, "");
        EXPECT_EQ(page.extent.x, 0);
        EXPECT_EQ(page.extent.y, 0);
        EXPECT_EQ(count_pixels(page, 0, 0, 159, 99, BLACK), 160 * 100);
    }
    Page breaks("<br/><br/>\n<br/>");
    EXPECT_EQ(breaks.canvas.pen_y, 4 * breaks.canvas.line_height);
}

// Each case draws one H cell at the top left. A cell takes the columns from the pen before
// its character to the one before the pen after it, and the line height's rows that end at
// its baseline plus the descent.
TEST(ReadHtmlSpans, DrawsEachCharacterInItsSpanColoursOnItsCell)
{
    struct Case {
        const char* name;
        std::string input;
        int text;
        int cell;
    };
    const std::vector<Case> cases = {
        {"options' colours by default", "<span>H</span>", rgb(255, 255, 255), BLACK},
        {"text and background colour", "<span style='color:#ff0000; background-color:#0000ff'>H</span>",
         rgb(255, 0, 0), BLUE},
        {"without the blank the background is not seen",
         "<span style='color:#ff0000;background-color:#0000ff'>H</span>", rgb(255, 0, 0), BLACK},
        {"upper-case digits", "<span style='color:#FF0000; background-color:#00FF00'>H</span>", rgb(255, 0, 0),
         rgb(0, 255, 0)},
        {"mixed-case digits", "<span style='color:#fF00aA; background-color:#0000ff'>H</span>", rgb(255, 0, 170),
         BLUE},
        {"#1e1e1e and #1E1E1E", "<span style='color:#1e1e1e; background-color:#1E1E1E'>H</span>", rgb(30, 30, 30),
         rgb(30, 30, 30)},
        {"the token's own '#' is the only one skipped",
         "<span style='color:##1e1e1e; background-color:#1e1E1e'>H</span>", rgb(1, 225, 225), rgb(30, 30, 30)},
        {"missing digits count 0", "<span style='color:#f background-color:#12>H</span>", rgb(240, 0, 0),
         rgb(0x12, 0, 0)},
        {"the background alone, anything after the digits ignored",
         "<span background-color:#0000ffzz;>H</span>", rgb(255, 255, 255), BLUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Page page(c.input, {.font_size = 0.1});  // large enough for glyph pixels in the pure colour
        const int right = page.canvas.pen_x - 1;
        const int baseline = page.canvas.line_height;
        const int bottom = baseline + page.canvas.descent;
        const int top = bottom + 1 - page.canvas.line_height;
        ASSERT_GT(page.canvas.descent, 0);
        EXPECT_EQ(page.err, "");
        EXPECT_EQ(page.extent.x, right + 1);
        EXPECT_EQ(page.extent.y, baseline);
        EXPECT_GT(count_pixels(page, 0, top, right, bottom, c.text), 0);
        for (auto [x, y] : {std::pair{0, top}, std::pair{right, top}, std::pair{0, bottom}, std::pair{right, bottom}})
            EXPECT_EQ(page.at(x, y), c.cell) << "cell corner " << x << "," << y;
        // Most of the cell is cell colour; just outside it the page is untouched.
        EXPECT_GT(count_pixels(page, 0, top, right, bottom, c.cell), (right + 1) * (bottom - top + 1) / 2);
        EXPECT_EQ(count_pixels(page, right + 1, 0, right + 1, bottom + 2, BLACK), bottom + 3);
        EXPECT_EQ(count_pixels(page, 0, bottom + 1, right + 1, bottom + 1, BLACK), right + 2);
        EXPECT_EQ(count_pixels(page, 0, top - 1, right + 1, top - 1, BLACK), right + 2);
    }
}

TEST(ReadHtmlSpans, CellsOfConsecutiveRowsAndCharactersMeetWithoutOverlapping)
{
    Page page("<span background-color:#0000ff>H</span><br/><span>H</span>"
              "<span style='color:#ff0000; background-color:#0000ff'>H</span>",
              {.font_size = 0.1});
    const int line_height = page.canvas.line_height;
    const int descent = page.canvas.descent;
    const int x1 = page.canvas.pen_x;
    const int x0 = x1 / 2;  // the two H cells are equally wide
    EXPECT_EQ(page.extent.y, 2 * line_height);
    // The second row's blue cell begins on the row after the first row's blue cell ends, and
    // in the column after its black neighbour ends.
    EXPECT_EQ(page.at(x0 - 1, line_height + descent), BLUE);
    EXPECT_EQ(page.at(x0, line_height + descent), BLACK);
    EXPECT_EQ(page.at(x0, line_height + descent + 1), BLUE);
    EXPECT_EQ(page.at(x1 - 1, 2 * line_height + descent), BLUE);
    EXPECT_EQ(page.at(x0 - 1, line_height + descent + 1), BLACK);
    EXPECT_EQ(page.at(x1, 2 * line_height + descent), BLACK);
    EXPECT_EQ(page.at(x1 - 1, 2 * line_height + descent + 1), BLACK);
}

// Cells black on a black page show only what their characters draw: each character drawn
// once, as on a transparent page, and nothing of the row above covered. Rows of descenders
// meet rows of tall letters. Only ink that crosses into the next cell is covered, as in a
// terminal: at the default size d and q reach one column past the pen after them, so they
// end their rows there.
TEST(ReadHtmlSpans, CellsLoseNoInkAndDrawEachCharacterOnce)
{
    const struct {
        ::Setup setup;
        std::vector<std::string> rows;
    } cases[] = {
        {{}, {"pig gjpy", "ijl bkd", "ypg,;jq", "bklhij", "gjpy"}},
        {{.fixed_advance = 1, .font_size = 0.1, .width = 300, .height = 220},
         {"pig gjpqy", "ijl dbk", "qyp,;g", "bdklhij", "gjpqy"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "font size " << c.setup.font_size);
        ::Setup transparent = c.setup;
        transparent.transparent = 1;
        const Page opaque(white_spans(c.rows), c.setup);
        const Page clear(white_spans(c.rows), transparent);
        EXPECT_TRUE(same_as_over_black(opaque, clear));
    }
}

TEST(ReadHtmlSpans, NonBreakingSpaceFillsItsCell)
{
    Page page("<span background-color:#0000ff>&nbsp;</span>");
    const int right = page.canvas.pen_x - 1;
    const int bottom = page.canvas.line_height + page.canvas.descent;
    ASSERT_GE(right, 0);
    const int area = (right + 1) * page.canvas.line_height;
    EXPECT_EQ(count_pixels(page, 0, 0, right + 1, bottom + 1, BLUE), area);
    EXPECT_EQ(count_pixels(page, 0, bottom + 1 - page.canvas.line_height, right, bottom, BLUE), area);
}

TEST(ReadHtmlSpans, TokensDrawLikeTheirEquivalents)
{
    const std::string long_token = "A" + std::string(1022, 'x') + "y" + "B" + std::string(475, 'z');
    struct Case {
        std::string input;
        std::string same_as;
        bool plain = false;  // `same_as` is plain text; default colours hide the black cells
    };
    const std::vector<Case> cases = {
        {"<span>ab</span>", "<span>a</span>"},
        {"<span>a b\tc\r\nd</span>", "<span>a</span><span>b</span><span>c</span><span>d</span>"},
        {"<span>&apos;</span>", "'", true},
        {"<span>&quot;</span>", "\"", true},
        {"<span>&nbsp;</span>", " ", true},
        {"<span>&amp;</span>", "&", true},
        {"<span>&lt;</span>", "<", true},
        {"<span>&gt;</span>", ">", true},
        {"<span>&amp</span>", "&", true},
        {"<span>&#233;</span>", "\xc3\xa9", true},
        {"<span>&#xE9;</span>", "\xc3\xa9", true},
        {"<span>&#xe9;</span>", "\xc3\xa9", true},
        {"<span>&#X2500;</span>", "\xe2\x94\x80", true},
        {"<span>&#00060;</span>", "<", true},
        {"<span>&#x1F600;</span>", "\xf0\x9f\x98\x80", true},  // as the character itself draws
        {"<span>&#0;</span>", "\xef\xbf\xbd", true},             // references to no character
        {"<span>&#xD800;</span>", "\xef\xbf\xbd", true},
        {"<span>&#x110000;</span>", "\xef\xbf\xbd", true},
        {"<span>&#99999999999999999999;</span>", "\xef\xbf\xbd", true},
        {"<span>&#233</span>", "&", true},  // no references
        {"<span>&#;</span>", "&", true},
        {"<span>&#x;</span>", "&", true},
        {"<span>&#12a;</span>", "&", true},
        {"<span>&#xg;</span>", "&", true},
        {"<span>&#233;x</span>", "&", true},
        {"<span>x&#233;</span>", "x", true},
        // Whole characters: as plain text draws them at the same pen.
        {"<span>\xc3\xa9</span>", "\xc3\xa9", true},
        {"<span>\xe2\x94\x80</span>", "\xe2\x94\x80", true},
        {"<span>\xe6\xbc\xa2\xe5\xad\x97</span>", "\xe6\xbc\xa2", true},
        {"<span>\xf0\x9f\x98\x80</span>", "\xf0\x9f\x98\x80", true},
        {"<span>\xc3\xa9\xe2\x94\x80</span>", "\xc3\xa9", true},
        // A token stands for its first whole grapheme cluster, as plain text draws it.
        {"<span>e\xcc\x81</span>", "e\xcc\x81", true},
        {"<span>\xf0\x9f\x87\xab\xf0\x9f\x87\xb7</span>", "\xf0\x9f\x87\xab\xf0\x9f\x87\xb7", true},
        {"<span>e\xcc\x81x</span>", "e\xcc\x81", true},
        // A byte that begins no character is drawn alone, as before.
        {"<span>\xe2\x94 \x80</span>", "<span>\xe2</span><span>\x80</span>"},
        {"<span>\xe2\x94</span>", "\xe2", true},
        {"<span>\xed\xa0\x80</span>", "\xed", true},
        {"<span>\xff\xc3\xa9</span>", "\xff", true},
        {"<span>&ltx;</span>", "&", true},
        {"<span>&lt;x</span>", "&", true},
        {"<span>&LT;</span>", "&", true},
        {"<span>a</span><br><span>b</span>", "<span>a</span><span>b</span>"},
        {"<span>a</span><br /><span>b</span>", "<span>a</span><span>b</span>"},
        {"<span>br/</span>", "<span>b</span>"},
        {"<p>hello world</p><span>a</span> bc <span>d</span>", "<span>a</span><span>d</span>"},
        {"<i style='color:#ff0000; background-color:#0000ff'><span>a</span>", "<span>a</span>"},
        {"<span style='color:#ff0000; background-color:#0000ff'></span><span>a</span>", "<span>a</span>"},
        {"<span style=\"color:#ff0000; background-color:#0000ff\">A</span>",
         "<span>s</span><span background-color:#0000ff>A</span>"},
        {"<span>a b\n", "<span>a</span><span>b</span>"},
        {"<span>a b", "<span>a</span>"},
        {"<span>a</spanx>b<span>c</span>", "<span>a</span><span>c</span>"},
        {"<span><span>a</span>", "<span>s</span><span>a</span>"},
        {"<span>" + long_token + "</span>", "<span>A</span><span>B</span>"},
    };
    // The inputs that put several characters in a span, or a double-quoted style in it, are
    // read the same, and warned about.
    const std::set<std::string> warned = {
        "<span>ab</span>", "<span>a b\tc\r\nd</span>", "<span>&amp</span>", "<span>&#233</span>", "<span>&#;</span>",
        "<span>&#x;</span>", "<span>&#12a;</span>", "<span>&#xg;</span>", "<span>&#233;x</span>",
        "<span>x&#233;</span>", "<span>\xe6\xbc\xa2\xe5\xad\x97</span>", "<span>\xc3\xa9\xe2\x94\x80</span>",
        "<span>e\xcc\x81x</span>", "<span>\xe2\x94 \x80</span>", "<span>\xff\xc3\xa9</span>", "<span>&ltx;</span>", "<span>&lt;x</span>",
        "<span>&LT;</span>", "<span>br/</span>", "<span style=\"color:#ff0000; background-color:#0000ff\">A</span>",
        "<span>a b\n", "<span><span>a</span>", "<span>" + long_token + "</span>",
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 80));
        Page page(c.input);
        Page reference(c.plain ? c.same_as + "\n" : c.same_as, {.html_input = c.plain ? 0 : 1});
        EXPECT_EQ(page.err, warned.contains(c.input) ? FOREIGN_HTML_WARNING : "");
        // A character the font lacks, drawn from another face, takes its own advance, as in a
        // row of plain text.
        EXPECT_EQ(page.extent.x, reference.extent.x);
        EXPECT_EQ(page.extent.y, reference.extent.y);
        EXPECT_TRUE(same_pixels(page, reference));
    }
}

// HTML of converters that wrap runs of text in one element is read as span HTML, and warned
// about once, by the name of the input, on the page that is drawn.
TEST(ReadHtmlSpans, WarnsOnceOfHtmlThatIsNotOneSpanPerCharacter)
{
    const struct {
        std::string input;
        bool warns;
    } cases[] = {
        {"<span style='color:#ff0000; background-color:#000000'>o</span><span>k</span><br/><span>&nbsp;</span>", false},
        {"<span>\xc3\xa9</span><span>&#x2500;</span><span>&gt;</span><br/>", false},
        {"<span></span><span>a</span>", false},
        {"<span style=\"color:red;\">r</span>", true},
        {"<span style=\"color:red;\">red</span> and <span style=\"font-weight:bold;\">bold</span>", true},
        {"<span class=\"ansi31\">r</span>", true},
        {"<pre><b class=RED>red</b>\n</pre>", true},
        {"<b class=RED>r</b>", true},
        {"<span>r</span><span>ed</span>", true},
        {"<span>r e</span>", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        Page page(c.input);
        EXPECT_EQ(page.err, c.warns ? FOREIGN_HTML_WARNING : "");
    }

    // The input is named as the run names it; the pass of --fit that only measures says nothing.
    for (const int32_t measuring : {0, 1}) {
        Canvas canvas;
        canvas_init(canvas);
        canvas_create(canvas, 160, 100);
        canvas.measuring = measuring;
        canvas.input_name = "-x.html";
        Options options;
        set_default_options(options);
        options.input_form = InputForm::SPAN_HTML;
        std::string data = "<span class=x>a</span><span class=x>b</span>";
        FILE* stream = fmemopen(data.data(), data.size(), "rb");
        ASSERT_NE(stream, nullptr);
        TextExtent extent;
        testing::internal::CaptureStderr();
        render_page(canvas, options, stream, extent);
        const std::string err = testing::internal::GetCapturedStderr();
        std::fclose(stream);
        canvas_destroy(canvas);
        EXPECT_EQ(err, measuring != 0 ? "" : "warning: -x.html is not one span per character; to draw a terminal's "
                                             "output, give it raw with --ansi-input\n");
    }
}

TEST(ReadHtmlSpans, LineBreakBetweenSpansStartsTheNextRow)
{
    Page page("<span>a</span><br/><span>b</span>");
    Page a_alone("<span>a</span>");
    Page b_alone("<span>b</span>");
    const int line_height = page.canvas.line_height;
    EXPECT_EQ(page.canvas.pen_x, b_alone.canvas.pen_x);
    EXPECT_EQ(page.canvas.pen_y, 2 * line_height);
    EXPECT_EQ(page.extent.x, std::max(a_alone.extent.x, b_alone.extent.x));
    EXPECT_EQ(page.extent.y, 2 * line_height);
    // Above the second row's cells the page is the page of a alone.
    for (int y = 0; y < line_height; ++y)
        for (int x = 0; x < 160; ++x) ASSERT_EQ(page.at(x, y), a_alone.at(x, y)) << x << "," << y;
}

TEST(ReadHtmlSpans, TransparentPageGetsNoCellsAndEachCharacterDrawnOnce)
{
    Page page("<span style='color:#ff0000; background-color:#0000ff'>H</span>", {.transparent = 1});
    EXPECT_EQ(page.extent.x, page.canvas.pen_x);

    // The same character drawn once on an empty transparent page.
    Page once("<", {.transparent = 1});
    canvas_set_foreground(once.canvas, Rgb{255, 0, 0});
    GlyphReach reach;
    canvas_draw_glyph(once.canvas, first_character("H"), reach);
    EXPECT_EQ(once.canvas.pen_x, page.canvas.pen_x);
    EXPECT_TRUE(same_pixels(page, once));
    EXPECT_EQ(gdTrueColorGetAlpha(page.at(0, 0)), gdAlphaTransparent);
    EXPECT_EQ(gdTrueColorGetAlpha(page.at(page.canvas.pen_x, page.canvas.line_height)), gdAlphaTransparent);
}

TEST(ReadHtmlSpans, FixedCellsAreOneCellWide)
{
    Page page("<span background-color:#0000ff>i</span><span background-color:#00ff00>W</span>",
              {.fixed_advance = 1});
    const int cell = page.canvas.cell_width;
    const int top = page.canvas.descent + 1;  // the first row's cells start below the page's top rows
    ASSERT_GT(cell, 1);
    EXPECT_EQ(page.extent.x, 2 * cell);
    // The cells' top row holds no ink: only the cells show there.
    EXPECT_EQ(count_pixels(page, 0, top, cell - 1, top, BLUE), cell);
    EXPECT_EQ(count_pixels(page, cell, top, 2 * cell - 1, top, rgb(0, 255, 0)), cell);
    EXPECT_EQ(page.at(2 * cell, top), BLACK);
    EXPECT_EQ(count_pixels(page, 0, top - 1, 2 * cell, top - 1, BLACK), 2 * cell + 1);
}

TEST(ReadHtmlSpans, ACellWithNoWidthOrNoHeightIsNotFilled)
{
    const int tallest = vedad_test::measure_sample("Courier", 7.0).height;
    for (const ::Setup setup : {::Setup{.fixed_advance = 1, .char_spacing = -1000}, ::Setup{.line_spacing = -tallest},
                                ::Setup{.line_spacing = -100}}) {
        SCOPED_TRACE(testing::Message() << setup.char_spacing << " " << setup.line_spacing);
        Page page("<span background-color:#0000ff>W</span><span background-color:#0000ff>W</span><br/>"
                  "<span background-color:#0000ff>W</span>",
                  setup);
        EXPECT_EQ(count_pixels(page, 0, 0, 159, 99, BLUE), 0);
    }
}
