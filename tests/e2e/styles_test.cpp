// Bold, italic and bold-italic text: drawn in the font family's own faces where it has them
// (FreeMono, Courier.ttf here, has FreeMonoBold, FreeMonoOblique and FreeMonoBoldOblique),
// made from the regular face where it has not (DejaVu Sans Mono here), or in the faces that
// --bold-font=, --italic-font= and --bold-italic-font= name; --bold draws the whole page bold.

#include <string>
#include <vector>

#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

const std::string TEST_FONTS = VEDAD_TEST_FONT_DIR;
const std::string ESC = "\x1b";

// The picture of `input` drawn with `arguments`; an empty image when the run fails.
Image draw(const std::vector<std::string>& arguments, const std::string& input)
{
    TempDir dir;
    std::vector<std::string> all = arguments;
    all.insert(all.end(), {"--output=out.png", "-"});
    const RunResult result = run_vedad(dir.path(), all, input);
    EXPECT_EQ(result.status, 0) << result.err;
    return read_png(dir / "out.png");
}

// The same picture, drawn with `a` and with `b`, or different.
std::string same_picture(const std::vector<std::string>& a, const std::string& input_a,
                         const std::vector<std::string>& b, const std::string& input_b)
{
    const Image first = draw(a, input_a);
    const Image second = draw(b, input_b);
    if (first == nullptr || second == nullptr) return "no picture";
    return compare_images(first, second);
}

std::string styled(const std::string& sgr, const std::string& text)
{
    return ESC + "[" + sgr + "m" + text + ESC + "[0m";
}

// Whether the pixels of two pictures of one size differ inside [x0, x1) and, apart, outside it.
struct Columns {
    bool differ_inside = false;
    bool differ_outside = false;
};

Columns compare_columns(const Image& a, const Image& b, int x0, int x1)
{
    Columns result;
    for (int y = 0; y < gdImageSY(a.get()); ++y) {
        for (int x = 0; x < gdImageSX(a.get()); ++x) {
            if (pixel(a, x, y) == pixel(b, x, y)) continue;
            (x >= x0 && x < x1 ? result.differ_inside : result.differ_outside) = true;
        }
    }
    return result;
}

}  // namespace

// Each style of the terminal reader draws exactly what its face draws as the page's font, the
// cell measured in it (--bold); without --bold, in the regular face's cells.
TEST(Styles, TheFamilysOwnFacesDrawStyledText)
{
    const struct {
        std::string sgr;
        std::string face;
    } cases[] = {
        {"1", "FreeMonoBold.ttf"},
        {"3", "FreeMonoOblique.ttf"},
        {"1;3", "FreeMonoBoldOblique.ttf"},
    };
    const std::string text = "Styled text, {gjq}\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sgr);
        const std::string face = "--font=" + TEST_FONTS + "/" + c.face;
        EXPECT_EQ(same_picture({"--ansi-input"}, styled(c.sgr, text), {"--ansi-input", face}, text), "");
    }
}

// The faces the options name, by path or by name, draw their style instead of the family's.
TEST(Styles, NamedFacesDrawTheirStyle)
{
    const std::string text = "Named faces {gjq}\n";
    EXPECT_EQ(same_picture({"--ansi-input", "--bold-font=" + TEST_FONTS + "/FreeMonoOblique.ttf"}, styled("1", text),
                           {"--ansi-input"}, styled("3", text)),
              "");
    EXPECT_EQ(same_picture({"--ansi-input", "--italic-font=FreeMono:style=Bold"}, styled("3", text), {"--ansi-input"},
                           styled("1", text)),
              "");
    EXPECT_EQ(same_picture({"--ansi-input", "--bold-italic-font", "FreeMono"}, styled("1;3", text), {"--ansi-input"}, text),
              "");
}

// --bold draws every page in the bold face, in every reader: the picture is the one the bold
// face draws as the font. Italic text on a bold page is bold italic.
TEST(Styles, BoldDrawsTheWholePageInTheBoldFace)
{
    const std::string bold_face = "--font=" + TEST_FONTS + "/FreeMonoBold.ttf";
    const std::string text = "Bold page, {gjq}\nsecond row\n";
    const struct {
        std::string name;
        std::vector<std::string> arguments;
        std::string input;
    } cases[] = {
        {"plain text", {}, text},
        {"plain text, fixed", {"--fixed"}, text},
        {"span HTML", {"--html-input"}, span_page({"Bold page,", "{gjq}"})},
        {"terminal", {"--ansi-input"}, text},
        {"terminal, italic", {"--ansi-input"}, styled("3", text)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> bold = c.arguments;
        bold.push_back("--bold");
        std::vector<std::string> as_font = c.arguments;
        as_font.push_back(bold_face);
        EXPECT_EQ(same_picture(bold, c.input, as_font, c.input), "");
        const Image regular = draw(c.arguments, c.input);
        const Image bolder = draw(bold, c.input);
        EXPECT_NE(compare_images(regular, bolder), "") << "--bold changed nothing";
    }
}

// A family without faces of its own for the styles gets them made from its regular face: the
// styled cells differ from regular ones, and every cell keeps its place, so the text after them
// and the picture's size stay as they are.
TEST(Styles, StylesAreMadeWhereTheFamilyHasNoFaces)
{
    const std::vector<std::string> dejavu = {"--ansi-input", "--font=DejaVuSansMono"};
    const Image plain = draw(dejavu, "abcdefgh\n");
    ASSERT_NE(plain, nullptr);
    const int cell = measure_sample(TEST_FONTS + "/DejaVuSansMono.ttf", 7.0).width;
    std::vector<Image> pictures;
    for (const std::string sgr : {"1", "3", "1;3"}) {
        SCOPED_TRACE(sgr);
        pictures.push_back(draw(dejavu, "ab" + styled(sgr, "cdef") + "gh\n"));
        ASSERT_NE(pictures.back(), nullptr);
        ASSERT_EQ(gdImageSX(pictures.back().get()), gdImageSX(plain.get()));
        ASSERT_EQ(gdImageSY(pictures.back().get()), gdImageSY(plain.get()));
        // A slanted glyph may lean a little into the next cell.
        const Columns columns = compare_columns(plain, pictures.back(), 2 * cell, 7 * cell);
        EXPECT_TRUE(columns.differ_inside);
        EXPECT_FALSE(columns.differ_outside);
    }
    EXPECT_NE(compare_images(pictures[0], pictures[1]), "");
    EXPECT_NE(compare_images(pictures[0], pictures[2]), "");
    EXPECT_NE(compare_images(pictures[1], pictures[2]), "");
    // --bold makes the page bold the same way, its cell the regular face's.
    EXPECT_EQ(same_picture(dejavu, styled("1", "abcdefgh") + "\n", {"--ansi-input", "--font=DejaVuSansMono", "--bold"},
                           "abcdefgh\n"),
              "");
}

// A made glyph that leans into the next cell is drawn again over that cell once it is filled;
// a page that ends on one leaves nothing of it to the next file's page.
TEST(Styles, ALeaningGlyphStaysOnItsOwnPage)
{
    TempDir dir;
    write_file(dir / "a.txt", styled("1", "bold") + "\n");
    write_file(dir / "b.txt", "b\tc\n");
    const std::vector<std::string> options{"--ansi-input", "--font=DejaVuSansMono", "--overwrite"};
    std::vector<std::string> alone = options;
    alone.insert(alone.end(), {"--output=alone.png", "b.txt"});
    ASSERT_EQ(run_vedad(dir.path(), alone).status, 0);
    std::vector<std::string> both = options;
    both.insert(both.end(), {"--output=both/", "a.txt", "b.txt"});
    ASSERT_EQ(run_vedad(dir.path(), both).status, 0);
    EXPECT_EQ(read_file(dir / "both/b.png"), read_file(dir / "alone.png"));
}

// Characters the font lacks come from the fallback face's own face of the style where its
// family has one, and from its regular face where not; --verbose names each face.
TEST(Styles, FallbackFacesFollowTheStyle)
{
    const struct {
        std::string input;
        std::string face;
    } cases[] = {
        {"\xd7\x90\n", "Courier.ttf"},  // Hebrew alef: FreeMono has it, DejaVu Sans Mono not
        {styled("1", "\xd7\x90") + "\n", "FreeMonoBold.ttf"},
        {styled("1;3", "\xd7\x90") + "\n", "FreeMonoBoldOblique.ttf"},
        {styled("1", "\xe1\x88\x80") + "\n", "FreeSerif.ttf"},  // Ethiopic: FreeSerif alone, no bold face here
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.face);
        TempDir dir;
        const RunResult result = run_vedad(dir.path(), {"--verbose", "--ansi-input", "--font=DejaVuSansMono", "-"}, c.input);
        EXPECT_EQ(result.status, 0);
        EXPECT_NE(result.err.find("\nfallback font: " + TEST_FONTS + "/" + c.face + "\n"), std::string::npos)
            << result.err;
    }
}

// --verbose names the face of each style when it is first used, and what was made of it.
TEST(Styles, VerboseNamesTheStyledFaces)
{
    const struct {
        std::string font;
        std::string input;
        std::string lines;
    } cases[] = {
        {"FreeMono", styled("1", "a") + styled("3", "b"),
         "bold font: " + TEST_FONTS + "/FreeMonoBold.ttf\nitalic font: " + TEST_FONTS + "/FreeMonoOblique.ttf\n"},
        // Named once, also when the page is first read to be measured.
        {"FreeMono --fit", styled("1", "a"), "bold font: " + TEST_FONTS + "/FreeMonoBold.ttf\ncropping"},
        {"DejaVuSansMono", styled("1;3", "a"),
         "bold font: " + TEST_FONTS + "/DejaVuSansMono.ttf, made bold\nitalic font: " + TEST_FONTS +
             "/DejaVuSansMono.ttf, made italic\nbold italic font: " + TEST_FONTS +
             "/DejaVuSansMono.ttf, made bold italic\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.font);
        TempDir dir;
        std::vector<std::string> arguments = {"--verbose", "--ansi-input", "--font=" + c.font.substr(0, c.font.find(' ')), "-"};
        if (c.font.find(" --fit") != std::string::npos) arguments.insert(arguments.begin(), "--fit");
        const RunResult result = run_vedad(dir.path(), arguments, c.input);
        EXPECT_EQ(result.status, 0);
        EXPECT_NE(result.err.find(c.lines), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find(c.lines), result.err.rfind(c.lines)) << result.err;
    }
}

// A face an option names that is not found ends the run before anything is drawn, whether
// the page has text of that style or not.
TEST(Styles, ANamedFaceThatIsNotFoundEndsTheRun)
{
    for (const std::string option : {"--bold-font=", "--italic-font=", "--bold-italic-font="}) {
        SCOPED_TRACE(option);
        TempDir dir;
        write_file(dir / "a.txt", "plain\n");
        const RunResult result = run_vedad(dir.path(), {option + "NoSuchFace", "a.txt"});
        EXPECT_EQ(result.status, 1);
        const std::string style = option == "--bold-font=" ? "bold" : option == "--italic-font=" ? "italic" : "bold italic";
        EXPECT_EQ(result.err.rfind("error: " + style + " font 'NoSuchFace' was not found\nIf the font was not found: 'NoSuchFace' was looked for\n", 0), 0u)
            << result.err;
        EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
    }
}

// Bold still brightens the basic colours, in its own face.
TEST(Styles, BoldTextKeepsItsBrightColour)
{
    const std::string bold_face = "--font=" + TEST_FONTS + "/FreeMonoBold.ttf";
    EXPECT_EQ(same_picture({"--ansi-input"}, styled("1;31", "red") + "\n", {"--ansi-input", bold_face},
                           styled("91", "red") + "\n"),
              "");
}
