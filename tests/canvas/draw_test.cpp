#include "canvas/draw.hpp"

#include <cstdint>
#include <string>
#include <string_view>

#include "base/clamp.hpp"
#include "canvas/font_metrics.hpp"
#include "support/started_page.hpp"
#include "support/test_support.hpp"

using namespace vedad;
using namespace vedad_test;

namespace {

constexpr int WIDTH = 240;
constexpr int HEIGHT = 60;
constexpr double POINTS = 7.0;
const int BLACK = rgb(0, 0, 0);
const int WHITE = rgb(255, 255, 255);

// A canvas set up the way a page starts, and what its drawing reaches.
struct PreparedCanvas : StartedPage {
    GlyphReach reach;
    PreparedCanvas() : StartedPage(WIDTH, HEIGHT) {}
};

// `text` drawn by libgd alone, in one call, at (x, y) on a fresh black page.
Image reference(const std::string& text, int x, int y)
{
    Image image(gdImageCreateTrueColor(WIDTH, HEIGHT));
    gdImageFilledRectangle(image.get(), 0, 0, WIDTH, HEIGHT, BLACK);
    int box[8] = {};
    std::string font = "Courier";
    std::string copy = text;
    const char* error = gdImageStringFT(image.get(), box, WHITE, font.data(), POINTS, 0.0, x, y, copy.data());
    EXPECT_EQ(error, nullptr);
    return image;
}

int advance_of(const std::string& text)
{
    return measure_string("Courier", POINTS, text).width;
}

}  // namespace

TEST(LineBreak, MovesToTheNextRowAndDrawsNothing)
{
    struct Case {
        int32_t fixed_advance;
        int32_t line_height;
        int32_t expected_y;
    };
    const Case cases[] = {{0, 12, 32}, {1, 12, 32}, {0, -1000, -980}, {0, 0, 20}};
    for (const Case& c : cases) {
        PreparedCanvas page;
        page.canvas.settings.fixed_advance = c.fixed_advance;
        page.canvas.line_height = c.line_height;
        canvas_move_to(page.canvas, 57, 20);
        canvas_line_break(page.canvas);
        EXPECT_EQ(canvas_position(page.canvas), std::make_pair(0, c.expected_y)) << c.line_height;
        EXPECT_EQ(count_other_pixels(page.copy(), BLACK, 0, 0, WIDTH, HEIGHT), 0);
    }
}

TEST(DrawGlyph, FixedAdvanceMovesByTheCellWhateverTheGlyph)
{
    for (const char c : {'i', 'W', '.'}) {
        const std::string text(1, c);
        for (const int32_t fixed : {0, 1}) {
            PreparedCanvas page;
            page.canvas.settings.fixed_advance = fixed;
            const int32_t cell = page.canvas.cell_width;
            canvas_move_to(page.canvas, 30, 20);
            canvas_draw_glyph(page.canvas, first_character(text), page.reach);
            const int32_t expected_x = fixed != 0 ? 30 + cell : 30 + advance_of(text);
            EXPECT_EQ(canvas_position(page.canvas), std::make_pair(expected_x, 20)) << c << " fixed " << fixed;
            // The glyph starts at the pen either way.
            EXPECT_EQ(compare_images(page.copy(), reference(text, 30, 20)), "") << c << " fixed " << fixed;
        }
    }
    // In fixed mode the next character starts a full cell further on, also for a cell
    // narrower than the glyph.
    PreparedCanvas page;
    page.canvas.settings.fixed_advance = 1;
    page.canvas.cell_width = 2;
    canvas_move_to(page.canvas, 30, 20);
    canvas_draw_glyph(page.canvas, first_character("W"), page.reach);
    canvas_draw_glyph(page.canvas, first_character("W"), page.reach);
    EXPECT_EQ(canvas_position(page.canvas), std::make_pair(34, 20));
}

TEST(DrawGlyph, CharacterSpacingOnlyActsInFixedMode)
{
    PreparedCanvas plain;
    PreparedCanvas spaced;
    spaced.canvas.settings.char_spacing = 7;
    canvas_setup_cell(spaced.canvas);
    ASSERT_EQ(spaced.canvas.cell_width, plain.canvas.cell_width + 7);
    for (PreparedCanvas* page : {&plain, &spaced}) {
        canvas_move_to(page->canvas, 5, 20);
        for (const char c : std::string("Wide text"))
            canvas_draw_glyph(page->canvas, first_character(std::string_view(&c, 1)), page->reach);
    }
    EXPECT_EQ(canvas_position(spaced.canvas), canvas_position(plain.canvas));
    EXPECT_EQ(compare_images(spaced.copy(), plain.copy()), "");
}

TEST(DrawGlyph, EachCharacterIsDrawnAsOneTextOfItsBytes)
{
    // Control characters have no meaning here; a lone high byte is what libgd makes of it; a
    // character of two or three bytes is one text, whatever libgd makes of it.
    for (const std::string text : {"\r", "A", "\n", "\t", "\xe9", "\xc3\xa9", "\xe2\x94\x80", "\xe6\xbc\xa2"}) {
        PreparedCanvas page;
        canvas_move_to(page.canvas, 40, 25);
        canvas_draw_glyph(page.canvas, first_character(text), page.reach);
        EXPECT_EQ(canvas_position(page.canvas), std::make_pair(40 + advance_of(text), 25)) << text;
        EXPECT_EQ(compare_images(page.copy(), reference(text, 40, 25)), "") << text;
    }
    // A character of four bytes is one character too, which libgd reads as four. The font
    // lacks this one: it is drawn as a row draws it, with the other face's advance; in fixed
    // cells the cell keeps the advance of the font's box (U+FFFF, which it lacks as well).
    const std::string emoji = "\xf0\x9f\x98\x80";
    PreparedCanvas cell;
    canvas_move_to(cell.canvas, 40, 25);
    canvas_draw_glyph(cell.canvas, first_character(emoji), cell.reach);
    PreparedCanvas row;
    canvas_move_to(row.canvas, 40, 25);
    canvas_draw_row(row.canvas, emoji.c_str(), row.reach);
    EXPECT_EQ(canvas_position(cell.canvas), canvas_position(row.canvas));
    EXPECT_EQ(compare_images(cell.copy(), row.copy()), "");
    PreparedCanvas fixed;
    fixed.canvas.settings.fixed_advance = 1;
    canvas_move_to(fixed.canvas, 40, 25);
    canvas_draw_glyph(fixed.canvas, first_character(emoji), fixed.reach);
    EXPECT_EQ(canvas_position(fixed.canvas), std::make_pair(40 + fixed.canvas.cell_width, 25));
    EXPECT_EQ(compare_images(fixed.copy(), row.copy()), "");
    EXPECT_NE(compare_images(cell.copy(), reference(emoji, 40, 25)), "");
}

TEST(DrawRow, DrawsTheWholeTextInOneCallWhateverTheCellSettings)
{
    for (const std::string text : {"a\tb", "tab\there", "W", ""}) {
        for (const int32_t fixed : {0, 1}) {
            PreparedCanvas page;
            page.canvas.settings.fixed_advance = fixed;
            page.canvas.settings.tab_width = 8;
            canvas_move_to(page.canvas, 12, 30);
            canvas_draw_row(page.canvas, text.c_str(), page.reach);
            // One libgd call with the untouched text gives exactly this page and advance.
            EXPECT_EQ(canvas_position(page.canvas), std::make_pair(12 + advance_of(text), 30))
                << '"' << text << "\" fixed " << fixed;
            EXPECT_EQ(compare_images(page.copy(), reference(text, 12, 30)), "") << '"' << text << '"';
        }
    }
    // A tab is not widened to eight spaces.
    EXPECT_LT(advance_of("a\tb"), advance_of("a        b"));
}

TEST(DrawRow, ThePenIsHeldToTheIntegerRange)
{
    struct Case {
        int64_t a;
        int64_t b;
        int32_t sum;
    };
    const Case cases[] = {
        {1, 2, 3},
        {-5, 3, -2},
        {INT32_MAX, 1, INT32_MAX},
        {INT32_MAX, INT32_MAX, INT32_MAX},
        {INT32_MIN, -1, INT32_MIN},
        {INT32_MIN, INT32_MIN, INT32_MIN},
        {INT32_MAX, INT32_MIN, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(add_clamped(c.a, c.b), c.sum) << c.a << " + " << c.b;

    PreparedCanvas page;
    page.canvas.settings.fixed_advance = 1;
    page.canvas.cell_width = INT32_MAX;
    canvas_move_to(page.canvas, 10, 20);
    canvas_draw_glyph(page.canvas, first_character("a"), page.reach);
    EXPECT_EQ(page.canvas.pen_x, INT32_MAX);
    page.canvas.line_height = INT32_MIN;
    canvas_move_to(page.canvas, 0, -20);
    canvas_line_break(page.canvas);
    EXPECT_EQ(page.canvas.pen_y, INT32_MIN);
}

TEST(DrawDeathTest, ALibgdFailureEndsTheRunWithItsText)
{
    PreparedCanvas page;
    page.canvas.settings.font_name = "NoSuchFont";
    EXPECT_EXIT(canvas_draw_row(page.canvas, "abc", page.reach), testing::ExitedWithCode(1),
                "^error: while rendering: Could not find/open font\n$");
    EXPECT_EXIT(canvas_draw_glyph(page.canvas, first_character("a"), page.reach), testing::ExitedWithCode(1),
                "^error: while rendering: Could not find/open font\n$");
}
