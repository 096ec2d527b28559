// Text that cannot reach the image is measured instead of drawn, or, below or above a page
// whose text already spans its width, skipped. These tests convert the same inputs twice,
// once that way and once rendering everything, and require the same PNG bytes, the same
// messages and the same exit status.

#include <cstdint>
#include <string>
#include <vector>

#include "glyphs/glyph_path.hpp"
#include "support/child_conversion.hpp"
#include "support/test_support.hpp"

using namespace vedad;
using namespace vedad_test;

namespace {

// Converts `input` like the program does with `arguments` (and --output=out.png); its one
// output is that PNG.
ChildConversion convert(const std::vector<std::string>& arguments, const std::string& input, bool draw_everything)
{
    std::vector<std::string> words = arguments;
    words.push_back("--output=out.png");
    words.push_back("in.txt");
    return convert_in_child(words, {{"in.txt", input}}, {"out.png"},
                            [draw_everything](Canvas& canvas) { canvas.glyphs->seams.draw_everything = draw_everything; });
}

struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
};

// Rows of 10 to 120 characters drawn from a small vocabulary, the same every run.
std::string log_lines(int count, int shortest, int longest, uint32_t seed)
{
    static const char* const words[] = {"error", "warn", "GET", "/api/v1/items", "200", "latency=12ms",
                                        "retry", "session", "0x7f3a", "user@example", "{ok}", "[42]"};
    std::string text;
    for (int line = 0; line < count; ++line) {
        seed = seed * 1103515245u + 12345u;
        const int length = shortest + static_cast<int>((seed >> 8) % static_cast<uint32_t>(longest - shortest + 1));
        std::string row;
        while (static_cast<int>(row.size()) < length) {
            seed = seed * 1103515245u + 12345u;
            row += words[(seed >> 8) % (sizeof words / sizeof words[0])];
            row += ' ';
        }
        text += row.substr(0, static_cast<size_t>(length)) + "\n";
    }
    return text;
}

void expect_same_outcome(const Case& c)
{
    const ChildConversion everything = convert(c.arguments, c.input, true);
    const ChildConversion visible = convert(c.arguments, c.input, false);
    EXPECT_EQ(visible.status, everything.status) << c.name;
    EXPECT_EQ(visible.err, everything.err) << c.name;
    EXPECT_TRUE(visible.outputs == everything.outputs) << c.name << ": the PNG differs";
}

}  // namespace

TEST(VisibleDrawing, PlainTextPagesComeOutAsWhenEverythingIsDrawn)
{
    const std::string log = log_lines(400, 10, 120, 1);
    const std::string narrow = log_lines(300, 5, 40, 2);
    const std::string mixed = "plain row\n\tcafé, naïve, Ǻ Å̊ ∫ ⌠ █\n&amp; &#9608; &lt;x&gt;\r\nline with CR\n" + log;
    const std::vector<Case> cases = {
        {"log, default canvas", {"-v"}, log},
        {"log, small canvas", {"-v", "--size=120x50"}, log},
        {"log, no crop", {"--no-crop", "--size=200x90"}, log},
        {"narrow rows", {"-v"}, narrow},
        {"narrow rows, short canvas", {"-v", "--size=300x20"}, narrow},
        {"non-ASCII, entities, tabs and carriage returns below the image", {"-v", "--size=150x40"}, mixed + mixed},
        {"rows climbing above the image", {"-v", "--linespacing=-30", "--size=160x60"}, log},
        {"rows on one baseline", {"-v", "--linespacing=-11", "--size=160x60"}, log},
        {"huge line spacing", {"-v", "--linespacing=100000"}, log},
        {"line spacing that runs into the 32-bit limit", {"-v", "--linespacing=2000000000"}, log},
        {"negative line spacing that runs into the 32-bit limit", {"-v", "--linespacing=-2000000000"}, log},
        {"large glyphs overlapping the rows below", {"-v", "--font-size=0.1", "--linespacing=-25", "--size=300x90"},
         log},
        {"another font", {"-v", "--font=FreeSans", "--size=200x70"}, mixed},
        {"tab stops far apart", {"-v", "--tab=1000", "--size=150x40"}, mixed + mixed},
        {"tabs dropped", {"-v", "--tab=0", "--size=150x40"}, mixed + mixed},
        {"transparent", {"-v", "--transparent", "--size=100x40"}, log},
        {"empty rows below the image", {"-v", "--size=100x30"}, log_lines(20, 60, 60, 3) + std::string(500, '\n')},
    };
    for (const Case& c : cases) expect_same_outcome(c);
}

TEST(VisibleDrawing, EveryCanvasHeightCutsTheRowsTheSameWay)
{
    // Each height puts the image's edge somewhere else through the rows and their glyphs.
    // Rows repeat, so that the later ones are made of glyphs already drawn.
    std::string text;
    for (int i = 0; i < 4; ++i) text += "Hg|jy_\"^`'\nWMW@#$%*()\nq p g j\n" + log_lines(1, 100, 120, 4);
    for (int height = 1; height <= 48; ++height) {
        for (const char* spacing : {"--linespacing=2", "--linespacing=-8"}) {
            const std::string size = "--size=200x" + std::to_string(height);
            expect_same_outcome(Case{spacing, {"-v", size, spacing}, text});
        }
    }
}

// libgd's box is no exact bound of the ink: at 14 points FreeMono's 'a' inks a row above its
// box, so a row whose box lies just below the image still shows. Only the clearance kept
// around the reach leaves such a row drawn.
TEST(VisibleDrawing, InkOutsideTheBoxIsCoveredByTheClearance)
{
    std::string text;
    for (int i = 0; i < 12; ++i) text += "aaaa\n";
    for (int height = 20; height <= 60; ++height) {
        const std::string size = "--size=60x" + std::to_string(height);
        expect_same_outcome(Case{"rows of a", {"--font-size=0.05", "--no-crop", size}, text});
    }
}

TEST(VisibleDrawing, SpanPagesComeOutAsWhenEverythingIsDrawn)
{
    std::vector<std::string> rows;
    for (int i = 0; i < 60; ++i) rows.push_back(log_lines(1, 30, 110, static_cast<uint32_t>(i)).substr(0, 70) + "gjy");
    const std::string page = span_page(rows);
    const std::vector<Case> cases = {
        {"default canvas", {"-v", "--html-input"}, page},
        {"cells right of and below the image", {"-v", "--html-input", "--size=90x50"}, page},
        {"fixed cells", {"-v", "--html-input", "--fixed", "--size=90x50"}, page},
        {"fixed cells moving left", {"-v", "--html-input", "--fixed", "--charspacing=-14", "--size=90x50"}, page},
        {"transparent", {"-v", "--html-input", "--transparent", "--size=90x50"}, page},
        {"cells climbing above the image", {"-v", "--html-input", "--linespacing=-25", "--size=90x50"}, page},
        {"tall cells reaching back into the image", {"-v", "--html-input", "--linespacing=400", "--size=90x50"},
         page},
        {"huge line spacing", {"-v", "--html-input", "--linespacing=2000000000"}, page},
        {"huge character spacing", {"-v", "--html-input", "--fixed", "--charspacing=2000000000"}, page},
        {"large glyphs", {"-v", "--html-input", "--font-size=0.1", "--linespacing=-25", "--size=120x60"}, page},
        {"not HTML", {"-v", "--html-input", "--size=90x50"}, log_lines(200, 10, 120, 5)},
    };
    for (const Case& c : cases) expect_same_outcome(c);
}

TEST(VisibleDrawing, SpanPagesOfCharactersOfSeveralBytesComeOutAsWhenEverythingIsDrawn)
{
    // Characters of one to four bytes, references, and bytes that begin no character, on
    // rows that run past the image's right edge and below it.
    std::vector<std::string> rows;
    const std::string mixed = "caf\xc3\xa9 \xe2\x94\x80\xe2\x94\x82\xe2\x94\x80 \xe6\xbc\xa2\xe5\xad\x97 "
                              "\xf0\x9f\x98\x80 &#233; &#x2500; &#0; \xe2\x94 \xff\xc3 g\xcc\x81 "
                              "\xc3\x85\xcc\x8a \xe2\x88\xab\xe2\x8c\xa0\xe2\x96\x88";
    for (int i = 0; i < 40; ++i) rows.push_back(mixed);
    // Many different characters, each drawn again on a later row.
    std::string many;
    for (char32_t code_point = 0x4e00; code_point < 0x4e00 + 1800; ++code_point) {
        many += static_cast<char>(0xe0 | (code_point >> 12));
        many += static_cast<char>(0x80 | ((code_point >> 6) & 0x3f));
        many += static_cast<char>(0x80 | (code_point & 0x3f));
        if (code_point % 60 == 59) {
            rows.push_back(many);
            many.clear();
        }
    }
    for (int i = 0; i < 30; ++i) rows.push_back(rows[static_cast<size_t>(40 + i)]);
    const std::string page = span_page(rows);
    const std::vector<Case> cases = {
        {"default canvas", {"-v", "--html-input"}, page},
        {"cells right of and below the image", {"-v", "--html-input", "--size=90x50"}, page},
        {"fixed cells", {"-v", "--html-input", "--fixed", "--size=90x50"}, page},
        {"transparent", {"-v", "--html-input", "--transparent", "--size=90x50"}, page},
        {"cells climbing above the image", {"-v", "--html-input", "--linespacing=-25", "--size=90x50"}, page},
        {"another font", {"-v", "--html-input", "--font=FreeSans", "--size=120x60"}, page},
    };
    for (const Case& c : cases) expect_same_outcome(c);
}

TEST(VisibleDrawing, AGlyphThatCannotBeRenderedFailsTheRunWhereverItsRowLies)
{
    // Its 'z' cannot be loaded, nor its U+2500, whose bytes begin like those of its U+2502;
    // the log holds neither.
    const std::string broken = VEDAD_FIXTURE_DIR "/plain/broken-z.ttf";
    const std::string log = log_lines(300, 60, 120, 6);
    const std::vector<Case> cases = {
        {"in the first row", {"--font=" + broken}, "a z b\n" + log},
        {"far below the image", {"--font=" + broken}, log + "a z b\n"},
        {"far below the image, as a span", {"--font=" + broken, "--html-input", "--size=60x30"},
         span_page({log.substr(0, 200), "a", "b", "c", "d", "e", "f", "g", "x z y"})},
        {"above the image", {"--font=" + broken, "--linespacing=-30", "--size=200x40"}, log + "z\n"},
        // Fixed cells need no measuring: only knowing the character leaves it out.
        {"a character of three bytes far below the image, as a fixed span",
         {"--font=" + broken, "--html-input", "--fixed", "--size=60x30"},
         span_page({"\xe2\x94\x82", log.substr(0, 200), "a", "b", "c", "d", "e", "f", "g",
                    "\xe2\x94\x82\xe2\x94\x80"})},
    };
    for (const Case& c : cases) {
        const ChildConversion outcome = convert(c.arguments, c.input, false);
        EXPECT_EQ(outcome.status, 1) << c.name;
        EXPECT_EQ(outcome.err.rfind("error: while rendering: ", 0), 0u) << c.name << ": " << outcome.err;
        expect_same_outcome(c);
    }
}
