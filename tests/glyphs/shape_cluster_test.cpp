#include "glyphs/glyph_path.hpp"

#include <array>
#include <string>
#include <vector>

#include <hb.h>

#include "glyphs/blend.hpp"
#include "support/test_support.hpp"

using namespace vedad;
using namespace vedad_test;

namespace {

const std::string COLOR_EMOJI_FONT = VEDAD_COLOR_EMOJI_FONT;
constexpr double POINTS = 20.0;
constexpr int X = 5;
constexpr int BASELINE = 60;
const int WHITE = gdTrueColor(255, 255, 255);

Image blank_page()
{
    Image image(gdImageCreateTrueColor(120, 90));
    return image;
}

// The glyphs HarfBuzz chooses for `text` in the face of the file at `path`, asked of HarfBuzz
// directly.
std::vector<unsigned int> glyphs_chosen(const std::string& path, const std::string& text)
{
    hb_blob_t* blob = hb_blob_create_from_file(path.c_str());
    hb_face_t* face = hb_face_create(blob, 0);
    hb_font_t* font = hb_font_create(face);
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf8(buffer, text.data(), static_cast<int>(text.size()), 0, -1);
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(font, buffer, nullptr, 0);
    unsigned int length = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &length);
    std::vector<unsigned int> glyphs;
    for (unsigned int i = 0; i < length; ++i) glyphs.push_back(infos[i].codepoint);
    hb_buffer_destroy(buffer);
    hb_font_destroy(font);
    hb_face_destroy(face);
    hb_blob_destroy(blob);
    return glyphs;
}

// The page with `text` drawn through the glyph path in FreeMono, the colour face the fallback;
// with `harfbuzz`, HarfBuzz loaded from that library, with `unshaped` never asked.
Image drawn(const std::string& text, const ColorBand& band, const char* harfbuzz = nullptr, bool unshaped = false)
{
    GlyphPath path;
    fallback_configure(path.fallback, true, COLOR_EMOJI_FONT.c_str(), false);
    path.color_band = band;
    if (harfbuzz != nullptr) path.shapers.library = harfbuzz;
    path.seams.unshaped = unshaped;
    Image page = blank_page();
    EXPECT_EQ(glyph_path_string(path, page.get(), nullptr, WHITE, "Courier", POINTS, X, BASELINE, text.c_str(),
                                Missing::FALLBACK),
              nullptr);
    return page;
}

}  // namespace

// An emoji sequence is one glyph of the colour face, the one HarfBuzz chooses for it there,
// drawn at the pen as the cache draws every glyph; not its code points one by one.
TEST(ShapeCluster, EmojiSequencesAreTheColorFacesOneGlyph)
{
    const ColorBand band{30, 6};
    const std::vector<std::string> sequences = {
        "\U0001F44D\U0001F3FD",                          // thumbs up, medium skin tone
        "\U0001F468\u200D\U0001F469\u200D\U0001F467",  // a family
        "\U0001F1EB\U0001F1F7",                          // the flag of France
        "1\uFE0F\u20E3",                                 // keycap one
        "\u2764\uFE0F",                                  // red heart
    };
    FaceCache cache;
    Face* face = face_cache_open_file(cache, FontFile{COLOR_EMOJI_FONT, 0});
    ASSERT_NE(face, nullptr);
    SizedFace* sized = face_at_size(*face, POINTS, band);
    ASSERT_NE(sized, nullptr);
    for (const std::string& sequence : sequences) {
        SCOPED_TRACE(sequence);
        const std::vector<unsigned int> glyphs = glyphs_chosen(COLOR_EMOJI_FONT, sequence);
        ASSERT_EQ(glyphs.size(), 1u);
        const CachedGlyph* glyph = face_drawn_glyph(*face, *sized, glyphs[0]);
        ASSERT_NE(glyph, nullptr);
        Image expected = blank_page();
        blend_glyph(expected.get(), WHITE, glyph->image, X + glyph->image.left, BASELINE - glyph->image.top);
        EXPECT_EQ(compare_images(drawn(sequence, band), expected), "");
    }
}

// A letter and a combining accent come out as the font's composed letter, where the font has
// it; a cluster cut short draws what it holds.
TEST(ShapeCluster, ClustersOfLettersAndMarks)
{
    const ColorBand band{30, 6};
    EXPECT_EQ(compare_images(drawn("e\u0301x", band), drawn("\u00e9x", band)), "");
    // Shaped once, drawn again from what was kept.
    EXPECT_EQ(compare_images(drawn("e\u0301x e\u0301", band), drawn("\u00e9x \u00e9", band)), "");
    EXPECT_EQ(compare_images(drawn("a\u0323\u0302b", band), drawn("\u1ead" "b", band)), "");
    EXPECT_EQ(compare_images(drawn("\U0001F468\u200D", band), drawn("\U0001F468", band)), "");
    EXPECT_NE(compare_images(drawn("\U0001F1EB\U0001F1F7", band), drawn("\U0001F1EB", band)), "");
}

// With ligatures a run of text in Fira Code is shaped whole: "->" is drawn with the glyphs
// HarfBuzz chooses there, each at the pen the cache's advances give, in the same cells.
TEST(ShapeCluster, LigaturesDrawTheFontsGlyphsInTheSameCells)
{
    const std::string font = VEDAD_LIGATURE_FONT;
    const std::string text = "a->b";
    std::array<int, 8> plain_box{};
    std::array<int, 8> shaped_box{};
    Image plain = blank_page();
    Image shaped = blank_page();
    GlyphPath path;
    ASSERT_EQ(glyph_path_string(path, plain.get(), plain_box.data(), WHITE, font.c_str(), POINTS, X, BASELINE,
                                text.c_str()),
              nullptr);
    path.ligatures = true;
    ASSERT_EQ(glyph_path_string(path, shaped.get(), shaped_box.data(), WHITE, font.c_str(), POINTS, X, BASELINE,
                                text.c_str()),
              nullptr);
    EXPECT_EQ(shaped_box, plain_box);
    EXPECT_NE(compare_images(shaped, plain), "");

    FaceCache cache;
    Face* face = face_cache_open_file(cache, FontFile{font, 0});
    ASSERT_NE(face, nullptr);
    SizedFace* sized = face_at_size(*face, POINTS);
    ASSERT_NE(sized, nullptr);
    Image expected = blank_page();
    FT_Pos pen = 0;
    const std::vector<unsigned int> glyphs = glyphs_chosen(font, text);
    ASSERT_EQ(glyphs.size(), text.size());
    for (const unsigned int index : glyphs) {
        const CachedGlyph* layout = face_layout_glyph(*face, *sized, index);
        const CachedGlyph* glyph = face_drawn_glyph(*face, *sized, index);
        ASSERT_TRUE(layout != nullptr && glyph != nullptr);
        const double left = X + static_cast<double>(pen) * DRAWING_RESOLUTION / (LAYOUT_RESOLUTION * 64);
        blend_glyph(expected.get(), WHITE, glyph->image, static_cast<int>(left + glyph->image.left),
                    BASELINE - glyph->image.top);
        pen += layout->layout.advance;
    }
    EXPECT_EQ(compare_images(shaped, expected), "");
}

// HarfBuzz is loaded when a cluster is first shaped, not before; where it cannot be loaded,
// clusters are drawn code point by code point, as they are without shaping, and --verbose says
// so once.
TEST(ShapeCluster, WithoutHarfBuzzClustersAreDrawnUnshaped)
{
    const ColorBand band{30, 6};
    GlyphPath path;
    Image page = blank_page();
    ASSERT_EQ(glyph_path_string(path, page.get(), nullptr, WHITE, "Courier", POINTS, X, BASELINE, "plain text"), nullptr);
    EXPECT_EQ(path.shapers.loaded, Loaded::NOT_YET);
    ASSERT_EQ(glyph_path_string(path, page.get(), nullptr, WHITE, "Courier", POINTS, X, BASELINE, "e\u0301"), nullptr);
    EXPECT_EQ(path.shapers.loaded, Loaded::YES);

    for (const std::string text : {"e\u0301x", "\U0001F44D\U0001F3FD", "\U0001F1EB\U0001F1F7"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(compare_images(drawn(text, band, "libvedad-absent.so.0"), drawn(text, band, nullptr, true)), "");
        EXPECT_NE(compare_images(drawn(text, band), drawn(text, band, nullptr, true)), "");
    }

    GlyphPath told;
    told.shapers.library = "libvedad-absent.so.0";
    told.shapers.verbose = true;
    testing::internal::CaptureStderr();
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(glyph_path_string(told, page.get(), nullptr, WHITE, "Courier", POINTS, X, BASELINE, "e\u0301"),
                  nullptr);
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("warning: HarfBuzz cannot be loaded (libvedad-absent.so.0: ", 0), 0u) << said;
    EXPECT_EQ(said.find("warning", 1), std::string::npos) << said;
}
