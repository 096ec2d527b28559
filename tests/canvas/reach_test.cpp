#include "canvas/reach.hpp"

#include <string>

#include "canvas/draw.hpp"
#include "support/started_page.hpp"
#include "support/test_support.hpp"

using namespace vedad;

namespace {

struct ReachPage : vedad_test::StartedPage {
    ReachPage() : StartedPage(100, 40) {}
    GlyphReach reach;
};

}  // namespace

TEST(RowIsUnseen, RowsOfRenderedCharactersOfAnyKindAreUnseenFarFromTheImage)
{
    ReachPage page;
    Canvas& canvas = page.canvas;
    canvas_draw_row(canvas, "caf\xc3\xa9 \xe2\x94\x80 \xe6\xbc\xa2 & x\xf0\x9f\x98\x80\r", page.reach);
    // Its glyph is known, yet a row holding it is not.
    canvas_draw_glyph(canvas, first_character("\n"), page.reach);

    struct Case {
        std::string row;
        bool unseen;
    };
    const Case cases[] = {
        {"\xc3\xa9\xc3\xa9 \xe6\xbc\xa2\xe2\x94\x80 caf\xc3\xa9", true},
        {"x & x\r", true},
        {"\xf0\x9f\x98\x80", true},   // four bytes: one character, by its code point, rendered above
        {"\xf0\x9f\x98\x81", false},  // its neighbour, not rendered yet
        {"\xf0", false},              // the first of those bytes alone is another character
        {"\xc3\xa8", false},         // a character not rendered yet
        {"\xc3", false},             // a byte alone is another character than in the sequence
        {"&#233;", false},           // a reference, decoded by libgd
        {"x\nx", false},             // a newline takes libgd a line lower
        {"\n", false},
        {"", true},
    };
    for (int y : {100000, -100000}) {
        canvas_move_to(canvas, 0, y);
        for (const Case& c : cases) EXPECT_EQ(row_is_unseen(canvas, page.reach, c.row.c_str()), c.unseen) << c.row << " at " << y;
    }
    canvas_move_to(canvas, 0, 20);
    EXPECT_FALSE(row_is_unseen(canvas, page.reach, "caf\xc3\xa9"));
}

TEST(GlyphIsUnseen, ACharacterDrawnAsOneTextIsKnownByWhatLibgdReadsForIt)
{
    ReachPage page;
    Canvas& canvas = page.canvas;
    for (const char* text : {"\xc3\xa9", "\xe2\x94\x80", "\xf0\x9f\x98\x80", "\xc3", ""})
        canvas_draw_glyph(canvas, first_character(text), page.reach);
    canvas_draw_row(canvas, "\xf0\x9f\x98\x81", page.reach);

    struct Case {
        std::string text;
        bool unseen;
    };
    const Case cases[] = {
        {"\xc3\xa9", true},
        {"\xe2\x94\x80", true},
        {"\xf0\x9f\x98\x80", true},   // its box was learnt whole
        {"\xf0\x9f\x98\x81", true},   // rendered in a row as the one character a cell draws
        {"\xf0\x9f\x98\x82", false},  // not rendered yet
        {"\xf0", false},              // a byte alone, not the sequence it begins
        {"\xc3", true},
        {"\xc3\xa8", false},
        {"\xc3\x83", true},           // Ã: what libgd reads for the byte 0xC3 alone
        {"", true},
        {"\n", false},
    };
    for (int y : {100000, -100000}) {
        canvas_move_to(canvas, 0, y);
        for (const Case& c : cases) {
            EXPECT_EQ(glyph_is_unseen(canvas, page.reach, first_character(c.text)), c.unseen) << c.text << " at " << y;
        }
    }
    canvas_move_to(canvas, 0, 20);
    EXPECT_FALSE(glyph_is_unseen(canvas, page.reach, first_character("\xc3\xa9")));

    // The empty text is known only once it has been drawn.
    ReachPage fresh;
    canvas_move_to(fresh.canvas, 0, 100000);
    EXPECT_FALSE(glyph_is_unseen(fresh.canvas, fresh.reach, first_character("")));
}
