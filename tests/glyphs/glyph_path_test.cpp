#include "glyphs/glyph_path.hpp"

#include <array>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.hpp"

using namespace vedad;
using namespace vedad_test;

namespace {

// The faces compared, by their names in the test font directory: FreeMono (as Courier),
// FreeSans and FreeSerif (TrueType), DejaVu Sans Mono and DejaVu Sans (TrueType, the latter
// kerned) and Nimbus Mono PS (OpenType CFF).
const std::vector<std::string> FACES = {"Courier",        "FreeSans",   "FreeSerif",
                                        "DejaVuSansMono", "DejaVuSans", "NimbusMonoPS-Regular.otf"};

constexpr int WIDTH = 150;
constexpr int HEIGHT = 110;

std::string printable_ascii()
{
    std::string text;
    for (char c = ' '; c <= '~'; ++c) text += c;
    return text;
}

// How the image is prepared before the text is drawn on it.
struct Page {
    int background = gdTrueColor(0, 0, 0);
    bool transparent = false;  // made the way the canvas makes a transparent background
    bool blending = true;
};

Image make_page(const Page& page)
{
    Image image(gdImageCreateTrueColor(WIDTH, HEIGHT));
    gdImageAlphaBlending(image.get(), 0);
    gdImageFilledRectangle(image.get(), 0, 0, WIDTH, HEIGHT,
                           page.transparent ? gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent) : page.background);
    gdImageAlphaBlending(image.get(), page.blending ? 1 : 0);
    if (page.transparent) gdImageSaveAlpha(image.get(), 1);
    return image;
}

struct Text {
    std::string font;
    double points;
    int x;
    int y;
    std::string text;
    int color = gdTrueColor(255, 255, 255);
};

std::string describe(const Text& t)
{
    std::ostringstream out;
    out << t.font << " at " << t.points << " points, pen (" << t.x << ", " << t.y << "), colour 0x" << std::hex
        << t.color << std::dec << ": \"" << t.text << "\"";
    return out.str();
}

std::string error_text(const char* error)
{
    return error == nullptr ? "(none)" : error;
}

// Draws the texts one after the other on one page both ways, libgd's text call and the
// glyph path, and measures each with no image both ways. "" when every pixel, box and error
// is the same, else the first difference.
std::string compare_with_libgd(GlyphPath& path, const Page& page, const std::vector<Text>& texts)
{
    Image expected = make_page(page);
    Image actual = make_page(page);
    for (const Text& t : texts) {
        for (bool drawing : {true, false}) {
            std::array<int, 8> expected_box;
            std::array<int, 8> actual_box;
            expected_box.fill(-7);
            actual_box.fill(-7);
            const char* expected_error =
                gdImageStringFT(drawing ? expected.get() : nullptr, expected_box.data(), t.color, t.font.c_str(),
                                t.points, 0.0, t.x, t.y, t.text.c_str());
            const char* actual_error = glyph_path_string(path, drawing ? actual.get() : nullptr, actual_box.data(),
                                                         t.color, t.font.c_str(), t.points, t.x, t.y, t.text.c_str());
            const std::string what = (drawing ? "drawing " : "measuring ") + describe(t);
            if (error_text(actual_error) != error_text(expected_error)) {
                return what + ": error " + error_text(actual_error) + ", expected " + error_text(expected_error);
            }
            if (actual_box != expected_box) {
                std::ostringstream out;
                out << what << ": box";
                for (int v : actual_box) out << ' ' << v;
                out << ", expected";
                for (int v : expected_box) out << ' ' << v;
                return out.str();
            }
            if (drawing) {
                const std::string difference = compare_images(actual, expected);
                if (!difference.empty()) return what + ": " + difference;
            }
        }
    }
    return "";
}

// The same for one text on a fresh page.
std::string compare_one(GlyphPath& path, const Text& text, const Page& page = Page{})
{
    return compare_with_libgd(path, page, {text});
}

}  // namespace

TEST(GlyphPath, EveryFaceAtEverySizeFrom1To72DrawsPrintableAsciiAsLibgd)
{
    const std::string ascii = printable_ascii();
    for (const std::string& font : FACES) {
        GlyphPath path;
        for (int points = 1; points <= 72; ++points) {
            // Long enough at every size to run off the right edge; each character alone too.
            EXPECT_EQ(compare_one(path, Text{font, double(points), 1, 1 + points * 4 / 3, ascii}), "");
        }
        for (double points : {7.0, 0.025 * 280.0, 13.5}) {
            std::vector<Text> texts;
            for (char c : ascii) texts.push_back(Text{font, points, 3 + (c % 16) * 9, 12 + (c / 16) * 14, std::string(1, c)});
            EXPECT_EQ(compare_with_libgd(path, Page{}, texts), "") << font;
        }
        EXPECT_EQ(path.seams.texts_to_libgd, 0u) << font;
    }
}

TEST(GlyphPath, TextsOfEveryKindDrawAsLibgd)
{
    const std::vector<std::string> samples = {
        "Latin-1: caf\xc3\xa9 na\xc3\xafve \xc3\x9c\xc3\x9f\xc3\xbf \xc2\xa9\xc2\xae\xc2\xb1\xc2\xb5\xc2\xb6\xc2\xb7",
        "\xe2\x94\x8c\xe2\x94\x80\xe2\x94\xac\xe2\x94\x90 \xe2\x94\x82\xe2\x94\xbc\xe2\x95\x90\xe2\x95\x91 "
        "\xe2\x96\x88\xe2\x96\x91",                                                         // box drawing and blocks
        "\xe6\xbc\xa2\xe5\xad\x97 \xe3\x81\x8b\xe3\x81\xaa \xea\xb0\x80",                   // CJK, kana, hangul
        "e\xcc\x81 a\xcc\x88 n\xcc\x83 o\xcc\x8a\xcc\xa3 \xcc\x81x",                         // combining marks
        "\xee\x80\x80 \xef\xbf\xbf \xe0\xbf\xbf",                                            // characters no face has
        "\x80 \xbf \xc3 \xe2\x94 \xc0\x80 \xed\xa0\x80 \xff\xfe",                          // as libgd reads them
        "\xf0\x8f\xbf\xbf \xf4\x90\x80\x80 \xf8\x88\x80\x80\x80 \xf0\x9f\x98 \xf0\x9f",       // no four-byte characters
        "tab\there\x01\x1f\x7f",                                                            // control characters
        "a\nb\rc\r\nd",                                                                     // line breaks
        "\nstarts with a newline",
        "& alone, &c. and && AT&T",                                                       // no references
        "AVAWAYATo LT Te Yo y. P, F. Wa \"A\" ff fi",                                       // kerned pairs
        std::string(300, 'x') + "w",                                                        // a long row
        "",
        "   ",
    };
    for (const std::string& font : FACES) {
        GlyphPath path;
        // Marks drawn one by one, where a cluster is not shaped, are drawn as libgd draws them.
        path.seams.unshaped = true;
        for (double points : {7.0, 13.0, 28.0}) {
            for (const std::string& sample : samples) EXPECT_EQ(compare_one(path, Text{font, points, 4, 40, sample}), "");
        }
        EXPECT_EQ(path.seams.texts_to_libgd, 0u) << font;
    }
}

TEST(GlyphPath, RowsAcrossEveryEdgeAndAtNegativePensDrawAsLibgd)
{
    const std::string row = "gjpqy|ABCW\xc3\x89\xe2\x94\xbc_@ " + printable_ascii();
    const int pens[][2] = {
        {0, 0},        {-3, 10},       {-40, 60},        {-2000, 50},      {WIDTH - 8, 60}, {WIDTH - 1, 60},
        {WIDTH, 60},   {WIDTH + 5, 60}, {10, 2},         {10, -3},         {10, HEIGHT},    {10, HEIGHT + 4},
        {10, HEIGHT + 40}, {-7, -7},   {-100000, -100000}, {WIDTH + 3, HEIGHT + 9}, {100000, 100000},
    };
    for (const std::string& font : FACES) {
        GlyphPath path;
        for (double points : {7.0, 36.0}) {
            for (const auto& pen : pens) EXPECT_EQ(compare_one(path, Text{font, points, pen[0], pen[1], row}), "");
        }
        EXPECT_EQ(path.seams.texts_to_libgd, 0u) << font;
    }
}

TEST(GlyphPath, BlendsAsLibgdWithAndWithoutAlphaBlending)
{
    const int red = gdTrueColor(220, 30, 10);
    const int translucent = gdTrueColorAlpha(40, 200, 90, 70);
    const int invisible = gdTrueColorAlpha(1, 2, 3, gdAlphaTransparent);
    const Page pages[] = {
        Page{gdTrueColor(0, 0, 0), false, true},
        Page{gdTrueColor(250, 240, 200), false, false},
        Page{gdTrueColorAlpha(20, 40, 60, 50), false, true},  // a translucent background
        Page{0, true, true},                                   // as the canvas makes a transparent one
        Page{0, true, false},
    };
    for (const std::string& font : {FACES[0], FACES[4], FACES[5]}) {
        GlyphPath path;
        for (const Page& page : pages) {
            for (int color : {red, translucent, invisible}) {
                // Drawn twice over itself, shifted: glyphs land on ink of every coverage.
                const std::vector<Text> texts = {
                    Text{font, 20.0, 2, 30, "Wig\xc3\xa9@%&#", color},
                    Text{font, 20.0, 3, 31, "Wig\xc3\xa9@%&#", gdTrueColor(30, 60, 250)},
                    Text{font, 7.0, 5, 60, printable_ascii(), color},
                    Text{font, 7.0, 5, 60, printable_ascii(), color},
                };
                EXPECT_EQ(compare_with_libgd(path, page, texts), "") << font;
            }
        }
        EXPECT_EQ(path.seams.texts_to_libgd, 0u) << font;
    }
}

TEST(GlyphPath, HandsToLibgdWhatItCannotDrawExactlyWithTheSameResult)
{
    struct Case {
        Text text;
        const char* why;
    };
    const Case cases[] = {
        {Text{"Courier", 7.0, 2, 20, "&amp; &lt;x&gt;"}, "named entities"},
        {Text{"DejaVuSans", 12.0, 2, 20, "&#233; &#x2500; &#xE9;!"}, "character references"},
        {Text{"Courier", 7.0, 2, 20, "&bogus; &#;"}, "what may be a reference"},
        {Text{"NimbusMonoPS-Regular.t1", 12.0, 2, 40, "Type 1 outlines"}, "a Type 1 face"},
        {Text{"NoSuchFont", 7.0, 2, 20, "abc"}, "a font libgd does not find"},
        {Text{"Courier", 0.0, 2, 20, "abc"}, "a size of 0"},
        {Text{"Courier", -7.0, 2, 20, "abc"}, "a negative size"},
        {Text{"Courier", 7.0, INT_MAX - 20, 20, "abc"}, "a pen at the edge of the range"},
        {Text{"Courier", 7.0, 20, INT_MIN + 3, "abc"}, "a pen at the other edge"},
        {Text{"Courier", 7.0, 2, 20, "abc", -gdTrueColor(255, 255, 255)}, "a colour asking for no antialiasing"},
    };
    for (const Case& c : cases) {
        GlyphPath path;
        EXPECT_EQ(compare_one(path, c.text), "") << c.why;
        EXPECT_EQ(path.seams.texts_to_libgd, 2u) << c.why;
    }
}

TEST(GlyphPath, MeasuresAndDrawsTextOfAnySizeAsLibgd)
{
    GlyphPath path;
    uint64_t refused = 0;  // sizes FreeType refuses: libgd reports them
    for (double points : {150.0, 200.0, 200.5, 1000.0, 14000.0, 99999.0, 1e6}) {
        for (const std::string& font : {FACES[0], FACES[4], FACES[5]}) {
            const std::string text = "AVAT\xc3\xa9 gjpqy\xe2\x94\xbc \xe6\xbc\xa2";
            std::array<int, 8> expected_box{};
            std::array<int, 8> actual_box{};
            const char* expected_error =
                gdImageStringFT(nullptr, expected_box.data(), 0, font.c_str(), points, 0.0, 30, 700, text.c_str());
            const char* actual_error =
                glyph_path_string(path, nullptr, actual_box.data(), 0, font.c_str(), points, 30, 700, text.c_str());
            EXPECT_EQ(error_text(actual_error), error_text(expected_error)) << font << " at " << points;
            EXPECT_EQ(actual_box, expected_box) << font << " at " << points;
            if (expected_error != nullptr) ++refused;
        }
    }
    EXPECT_EQ(path.seams.texts_to_libgd, refused);
    EXPECT_LT(refused, 9u);
    // Drawn, sizes above those whose glyphs are kept are rendered for each text, as libgd
    // renders them.
    for (double points : {200.0, 200.5, 250.0, 1000.0}) {
        EXPECT_EQ(compare_one(path, Text{"Courier", points, -20, 150, "Wg"}), "") << points;
        EXPECT_EQ(compare_one(path, Text{"DejaVuSans", points, -40, 100, "AV\xc3\xa9"}), "") << points;
    }
    EXPECT_EQ(path.seams.texts_to_libgd, refused);
}

TEST(GlyphPath, LibgdOnlyHandsEveryTextToLibgd)
{
    GlyphPath path;
    path.seams.libgd_only = true;
    EXPECT_EQ(compare_one(path, Text{"Courier", 7.0, 2, 20, "abc"}), "");
    EXPECT_EQ(path.seams.texts_to_libgd, 2u);
}

TEST(GlyphPath, PaletteImagesAreLeftToLibgd)
{
    GlyphPath path;
    Image expected(gdImageCreate(40, 20));
    Image actual(gdImageCreate(40, 20));
    gdImageColorAllocate(expected.get(), 0, 0, 0);
    gdImageColorAllocate(actual.get(), 0, 0, 0);
    const int white = gdImageColorAllocate(expected.get(), 255, 255, 255);
    ASSERT_EQ(gdImageColorAllocate(actual.get(), 255, 255, 255), white);
    std::array<int, 8> expected_box{};
    std::array<int, 8> actual_box{};
    EXPECT_EQ(gdImageStringFT(expected.get(), expected_box.data(), white, "Courier", 7.0, 0.0, 2, 12, "ab"), nullptr);
    EXPECT_EQ(glyph_path_string(path, actual.get(), actual_box.data(), white, "Courier", 7.0, 2, 12, "ab"), nullptr);
    EXPECT_EQ(actual_box, expected_box);
    EXPECT_EQ(path.seams.texts_to_libgd, 1u);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) ASSERT_EQ(gdImageGetPixel(actual.get(), x, y), gdImageGetPixel(expected.get(), x, y));
    }
}

// A well-formed four-byte character is one character, drawn from its glyph as libgd draws the
// same character written as a reference (libgd itself reads the four bytes as four).
TEST(GlyphPath, FourByteCharactersDrawAsTheirReferencesDrawInLibgd)
{
    GlyphPath path;
    for (double points : {7.0, 20.0}) {
        Image expected = make_page(Page{});
        Image actual = make_page(Page{});
        std::array<int, 8> expected_box{};
        std::array<int, 8> actual_box{};
        const int white = gdTrueColor(255, 255, 255);
        // U+10300, OLD ITALIC LETTER A, which FreeMono has.
        EXPECT_EQ(gdImageStringFT(expected.get(), expected_box.data(), white, "Courier", points, 0.0, 3, 30,
                                  "a&#66304;b"),
                  nullptr);
        EXPECT_EQ(glyph_path_string(path, actual.get(), actual_box.data(), white, "Courier", points, 3, 30,
                                    "a\xf0\x90\x8c\x80" "b"),
                  nullptr);
        EXPECT_EQ(actual_box, expected_box);
        EXPECT_EQ(compare_images(actual, expected), "");
    }
    EXPECT_EQ(path.seams.texts_to_libgd, 0u);
}

namespace {

// Draws `text` with libgd in `font` and through the glyph path in Courier (FreeMono), which
// lacks the characters drawn here, at the same pen; "" when pixels and boxes are the same.
std::string compare_fallback(GlyphPath& path, Missing missing, double points, const std::string& text,
                             const std::string& font, const std::string& reference_text)
{
    Image expected = make_page(Page{});
    Image actual = make_page(Page{});
    std::array<int, 8> expected_box{};
    std::array<int, 8> actual_box{};
    const int white = gdTrueColor(255, 255, 255);
    if (gdImageStringFT(expected.get(), expected_box.data(), white, const_cast<char*>(font.c_str()), points, 0.0, 5,
                        40, const_cast<char*>(reference_text.c_str())) != nullptr) {
        return "libgd cannot draw in " + font;
    }
    if (glyph_path_string(path, actual.get(), actual_box.data(), white, "Courier", points, 5, 40, text.c_str(),
                          missing) != nullptr) {
        return "the glyph path cannot draw";
    }
    if (actual_box != expected_box) {
        std::ostringstream out;
        out << "the boxes differ:";
        for (int corner : actual_box) out << ' ' << corner;
        out << " against";
        for (int corner : expected_box) out << ' ' << corner;
        return out.str();
    }
    return compare_images(actual, expected);
}

const std::string CHECK_MARK = "\xe2\x9c\x94";  // U+2714, which FreeMono lacks
const std::string PRIVATE_USE = "\xee\x80\x80";  // U+E000, which no test face has

}  // namespace

// In the tests' fontconfig configuration DejaVu Sans Mono is the monospace face that has the
// check mark; a face named for fallback comes before it.
TEST(GlyphPathFallback, ACharacterTheFontLacksIsDrawnFromTheFirstFaceThatHasIt)
{
    // Large text too, whose glyphs are not kept.
    for (double points : {7.0, 20.0, 230.0}) {
        SCOPED_TRACE(points);
        GlyphPath path;
        fallback_configure(path.fallback, true, "", false);
        EXPECT_EQ(compare_fallback(path, Missing::FALLBACK, points, CHECK_MARK, "DejaVuSansMono", CHECK_MARK), "");
        // No face has it, or it is a control character: the font's own box.
        EXPECT_EQ(compare_fallback(path, Missing::FALLBACK, points, PRIVATE_USE, "Courier", PRIVATE_USE), "");
        EXPECT_EQ(compare_fallback(path, Missing::FALLBACK, points, "\x01", "Courier", "\x01"), "");
        // Asked for the box, as the cell set-up asks.
        EXPECT_EQ(compare_fallback(path, Missing::BOX, points, CHECK_MARK, "Courier", CHECK_MARK), "");

        GlyphPath named;
        fallback_configure(named.fallback, true, "NoSuchFont,FreeSerif", false);
        EXPECT_EQ(compare_fallback(named, Missing::FALLBACK, points, CHECK_MARK, "FreeSerif", CHECK_MARK), "");
        GlyphPath off;
        fallback_configure(off.fallback, false, "FreeSerif", false);
        EXPECT_EQ(compare_fallback(off, Missing::FALLBACK, points, CHECK_MARK, "Courier", CHECK_MARK), "");
    }
}

// In a row the glyph moves the pen by its own advance; a cell is laid out as the font's box
// would be, so that the cells stay a grid.
TEST(GlyphPathFallback, RowsTakeTheGlyphsAdvanceAndCellsTheFontsOwn)
{
    GlyphPath path;
    fallback_configure(path.fallback, true, "DejaVuSans", false);  // wider than FreeMono
    std::array<int, 8> box{};
    std::array<int, 8> own{};
    std::array<int, 8> font_box{};
    ASSERT_EQ(glyph_path_string(path, nullptr, box.data(), 0, "Courier", 20.0, 0, 0, CHECK_MARK.c_str(),
                                Missing::FALLBACK_IN_CELL),
              nullptr);
    ASSERT_EQ(gdImageStringFT(nullptr, font_box.data(), 0, const_cast<char*>("Courier"), 20.0, 0.0, 0, 0,
                              const_cast<char*>(PRIVATE_USE.c_str())),
              nullptr);
    ASSERT_EQ(gdImageStringFT(nullptr, own.data(), 0, const_cast<char*>("DejaVuSans"), 20.0, 0.0, 0, 0,
                              const_cast<char*>(CHECK_MARK.c_str())),
              nullptr);
    EXPECT_EQ(box, font_box);
    ASSERT_EQ(glyph_path_string(path, nullptr, box.data(), 0, "Courier", 20.0, 0, 0, CHECK_MARK.c_str(),
                                Missing::FALLBACK),
              nullptr);
    EXPECT_EQ(box[2] - box[0], own[2] - own[0]);
    EXPECT_NE(own[2] - own[0], font_box[2] - font_box[0]);  // else this test shows nothing
}

namespace {

const std::string GRINNING_FACE = "\xf0\x9f\x98\x80";  // U+1F600
const std::string COLOR_EMOJI_FONT = VEDAD_COLOR_EMOJI_FONT;

// The rows of `image` that hold a pixel other than `background`, as first and last; {-1, -1}
// when there is none.
std::pair<int, int> inked_rows(const Image& image, int background)
{
    std::pair<int, int> rows{-1, -1};
    for (int y = 0; y < gdImageSY(image.get()); ++y) {
        for (int x = 0; x < gdImageSX(image.get()); ++x) {
            if (gdImageGetTrueColorPixel(image.get(), x, y) == background) continue;
            if (rows.first < 0) rows.first = y;
            rows.second = y;
            break;
        }
    }
    return rows;
}

// Whether some pixel is clearly coloured, neither grey nor the text colour's hue.
bool has_colored_pixels(const Image& image)
{
    for (int y = 0; y < gdImageSY(image.get()); ++y) {
        for (int x = 0; x < gdImageSX(image.get()); ++x) {
            const int pixel = gdImageGetTrueColorPixel(image.get(), x, y);
            if (gdTrueColorGetRed(pixel) > gdTrueColorGetBlue(pixel) + 100) return true;
        }
    }
    return false;
}

}  // namespace

// A glyph from a colour face keeps its own colours whatever the text colour, and its face's
// height, ascender to descender, fills the rows a line inks.
TEST(GlyphPathFallback, ColorGlyphsKeepTheirColorsAndFillTheRowsOfTheLine)
{
    const int black = gdTrueColor(0, 0, 0);
    for (const ColorBand band : {ColorBand{10, 2}, ColorBand{37, 8}, ColorBand{}}) {
        SCOPED_TRACE(band.height);
        GlyphPath path;
        fallback_configure(path.fallback, true, COLOR_EMOJI_FONT.c_str(), false);
        path.color_band = band;
        const double points = 20.0;
        const int baseline = 60;
        Image white_text = make_page(Page{});
        Image blue_text = make_page(Page{});
        std::array<int, 8> box{};
        ASSERT_EQ(glyph_path_string(path, white_text.get(), box.data(), gdTrueColor(255, 255, 255), "Courier", points, 5,
                                    baseline, GRINNING_FACE.c_str(), Missing::FALLBACK),
                  nullptr);
        ASSERT_EQ(glyph_path_string(path, blue_text.get(), nullptr, gdTrueColor(0, 0, 255), "Courier", points, 5,
                                    baseline, GRINNING_FACE.c_str(), Missing::FALLBACK),
                  nullptr);
        EXPECT_EQ(compare_images(white_text, blue_text), "");
        EXPECT_TRUE(has_colored_pixels(white_text));

        const std::pair<int, int> rows = inked_rows(white_text, black);
        ASSERT_GE(rows.first, 0);
        // The box holds the ink, and with a band the ink stays within its rows and fills most
        // of them (the picture has a margin of its own).
        EXPECT_LE(box[7], rows.first);
        EXPECT_GE(box[1], rows.second);
        if (band.height > 0) {
            EXPECT_GE(rows.first, baseline + band.descent - band.height);
            EXPECT_LE(rows.second, baseline + band.descent - 1);
            EXPECT_GE(rows.second - rows.first + 1, band.height * 3 / 4);
        } else {
            // As high as the em of 20 points is wide, give or take the picture's margin.
            EXPECT_NEAR(rows.second - rows.first + 1, 20 * 96 / 72, 5);
        }
    }
}

// The first face that has the character draws it: a monochrome face named before the colour
// face draws it in the text colour, as the glyph path draws it with that face as the font.
TEST(GlyphPathFallback, AMonochromeFaceDrawsEmojiInTheTextColor)
{
    const auto draw = [](const std::string& font, const std::string& fallback_list) {
        GlyphPath path;
        fallback_configure(path.fallback, true, fallback_list.c_str(), false);
        Image image = make_page(Page{});
        const char* error = glyph_path_string(path, image.get(), nullptr, gdTrueColor(0, 255, 0), font.c_str(), 20.0,
                                              5, 40, GRINNING_FACE.c_str(), Missing::FALLBACK);
        EXPECT_EQ(error, nullptr);
        return image;
    };
    const Image expected = draw("DejaVuSans", "");
    EXPECT_EQ(compare_images(draw("Courier", "DejaVuSans," + COLOR_EMOJI_FONT), expected), "");
    const Image color = draw("Courier", COLOR_EMOJI_FONT + ",DejaVuSans");
    EXPECT_NE(compare_images(color, expected), "");
    EXPECT_TRUE(has_colored_pixels(color));
}

// A character asked for as text and then as an emoji, or the other way round, takes a face
// for each: the faces found are kept by character and presentation, not by character alone.
// Here fontconfig knows the colour face too, through a configuration of the test's own.
TEST(GlyphPathFallback, EachPresentationOfACharacterKeepsItsOwnFace)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "emoji");
    std::filesystem::create_symlink(COLOR_EMOJI_FONT, dir / "emoji" / "color.ttf");
    // The cache directory comes first, so that the one of the tests' configuration is left as it is.
    write_file(dir / "fonts.conf",
               "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n<fontconfig>\n"
               "  <cachedir>" + (dir / "cache").string() + "</cachedir>\n"
               "  <include>" VEDAD_TEST_FONTCONFIG "</include>\n"
               "  <dir>" + (dir / "emoji").string() + "</dir>\n</fontconfig>\n");
    const ScopedVariable config("FONTCONFIG_FILE", (dir / "fonts.conf").string());

    const std::string heart = "\xe2\x9d\xa4";  // U+2764, which FreeMono lacks
    const std::string as_text = heart + "\xef\xb8\x8e";
    const std::string as_emoji = heart + "\xef\xb8\x8f";
    const auto draw = [](GlyphPath& path, const std::string& text) {
        Image image = make_page(Page{});
        EXPECT_EQ(glyph_path_string(path, image.get(), nullptr, gdTrueColor(255, 255, 255), "Courier", 20.0, 5, 40,
                                    text.c_str(), Missing::FALLBACK),
                  nullptr);
        return image;
    };
    // Each drawn alone, by a glyph path of its own.
    GlyphPath text_path;
    GlyphPath emoji_path;
    for (GlyphPath* path : {&text_path, &emoji_path}) fallback_configure(path->fallback, true, "", false);
    const Image text_alone = draw(text_path, as_text);
    const Image emoji_alone = draw(emoji_path, as_emoji);
    EXPECT_FALSE(has_colored_pixels(text_alone));
    EXPECT_TRUE(has_colored_pixels(emoji_alone));
    for (const bool text_first : {true, false}) {
        SCOPED_TRACE(text_first ? "text first" : "emoji first");
        GlyphPath path;
        fallback_configure(path.fallback, true, "", false);
        const Image first = draw(path, text_first ? as_text : as_emoji);
        const Image second = draw(path, text_first ? as_emoji : as_text);
        EXPECT_EQ(compare_images(text_first ? first : second, text_alone), "");
        EXPECT_EQ(compare_images(text_first ? second : first, emoji_alone), "");
    }
}
