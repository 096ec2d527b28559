#include "fonts/font_choice.hpp"

#include <cstdlib>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <gd.h>

#include "support/test_support.hpp"

using namespace vedad;
using namespace vedad_test;

namespace {

const std::string TEST_FONTS = VEDAD_TEST_FONT_DIR;

// The family name a font file gives itself.
std::string family_of(const std::string& path)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    std::string family;
    if (FT_Init_FreeType(&library) != 0) return family;
    if (FT_New_Face(library, path.c_str(), 0, &face) == 0) {
        if (face->family_name != nullptr) family = face->family_name;
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return family;
}

}  // namespace

TEST(ChooseFont, ANameLibgdFindsIsHandedToLibgdUnchanged)
{
    FontLookup lookup;
    const FontChoice choice = resolve_font(lookup, "Courier", 7.0);
    EXPECT_EQ(choice.libgd_name, "Courier");
    EXPECT_EQ(choice.path, TEST_FONTS + "/Courier.ttf");
    EXPECT_EQ(choice.search, "");
    EXPECT_FALSE(font_lookup_started(lookup));  // fontconfig is not even loaded
}

// Where libgd finds nothing, the installed font of that name is drawn from its file.
TEST(ChooseFont, ANameLibgdDoesNotFindIsTheInstalledFontOfThatName)
{
    TempDir no_fonts;
    ScopedVariable font_path("GDFONTPATH", no_fonts.path().string());
    gdFontCacheShutdown();  // libgd keeps faces by name, whatever GDFONTPATH says later
    const struct {
        const char* name;
        std::string file;  // "" when nothing is found
    } cases[] = {
        {"FreeMono", TEST_FONTS + "/Courier.ttf"},  // the test fonts' FreeMono
        {"freemono", TEST_FONTS + "/Courier.ttf"},  // fontconfig ignores case and blanks
        {"DejaVu Sans Mono", TEST_FONTS + "/DejaVuSansMono.ttf"},
        {"monospace", TEST_FONTS + "/DejaVuSansMono.ttf"},  // the tests' configuration's choice
        {"FreeSerif", TEST_FONTS + "/FreeSerif.ttf"},
        {"Courier", TEST_FONTS + "/Courier.ttf"},  // the default: FreeMono first
        {"NoSuchFont", ""},                        // not fontconfig's nearest face
        {"", ""},
        {"/no/such/FreeMono.ttf", ""},  // a path stays a path
    };
    FontLookup lookup;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FontChoice choice = resolve_font(lookup, c.name, 7.0);
        EXPECT_EQ(choice.asked, c.name);
        EXPECT_EQ(choice.path, c.file);
        EXPECT_EQ(choice.libgd_name, c.file.empty() ? std::string(c.name) : c.file);
    }
}

TEST(ChooseFont, TheHintSaysWhereTheFontWasLookedFor)
{
    TempDir no_fonts;
    ScopedVariable font_path("GDFONTPATH", no_fonts.path().string());
    FontLookup lookup;
    const std::string listing =
        "Name an installed font by its family, or a font file by its path (--font=PATH).\n"
        "The installed monospace fonts are listed by:\n\n"
        "    fc-list :spacing=mono family";
    EXPECT_EQ(font_search_hint(resolve_font(lookup, "NoSuchFont", 7.0), "NoSuchFont"),
              "\nIf the font was not found: 'NoSuchFont' was looked for\n"
              "  - by libgd, in the folders of GDFONTPATH (" + no_fonts.path().string() +
                  "), with .ttf, .pfa, .pfb and .dfont added\n"
                  "  - through fontconfig, among the installed fonts, as 'NoSuchFont'\n" + listing);
    EXPECT_EQ(font_search_hint(resolve_font(lookup, "FreeMono", 7.0), "FreeMono"),
              "\nThe font 'FreeMono' is the file " + TEST_FONTS + "/Courier.ttf.");
    EXPECT_EQ(font_search_hint(resolve_font(lookup, "/no/such.ttf", 7.0), "/no/such.ttf"),
              "\nIf the font was not found: '/no/such.ttf' was looked for\n"
              "  - by libgd, as the path of a font file\n" + listing);
    unsetenv("GDFONTPATH");
    const FontChoice unset = resolve_font(lookup, "Courier.x", 7.0);
    EXPECT_EQ(unset.search.substr(0, unset.search.find('\n')),
              "  - by libgd, in its built-in font folders (GDFONTPATH is not set)");
    EXPECT_NE(unset.search.find("as 'Courier.x'"), std::string::npos);
}

// The installed fonts, as a machine set up for vedad has them: the default font is FreeMono
// without any file named Courier, although fontconfig's own choice for Courier is another face.
TEST(ChooseFont, TheDefaultFontIsTheInstalledFreeMono)
{
    TempDir no_fonts;
    ScopedVariable font_path("GDFONTPATH", no_fonts.path().string());
    ScopedVariable config("FONTCONFIG_FILE", "/etc/fonts/fonts.conf");
    gdFontCacheShutdown();
    FontLookup lookup;
    const FontChoice choice = resolve_font(lookup, DEFAULT_FONT_NAME, 7.0);
    ASSERT_FALSE(choice.path.empty()) << choice.search;
    EXPECT_EQ(family_of(choice.path), "FreeMono");
    for (const char* name : {"FreeMono", "DejaVu Sans Mono", "monospace"}) {
        const FontChoice named = resolve_font(lookup, name, 7.0);
        EXPECT_FALSE(named.path.empty()) << name;
    }
    EXPECT_EQ(family_of(resolve_font(lookup, "DejaVu Sans Mono", 7.0).path), "DejaVu Sans Mono");
    EXPECT_TRUE(resolve_font(lookup, "NoSuchFont", 7.0).path.empty());
}

// Without a fontconfig configuration of the run's own, the default font is the installed
// FreeMono file, taken without starting fontconfig: that alone would cost far more than a
// small page.
TEST(ChooseFont, TheDefaultFontIsTakenWithoutStartingFontconfig)
{
    TempDir no_fonts;
    ScopedVariable font_path("GDFONTPATH", no_fonts.path().string());
    ScopedVariable config("FONTCONFIG_FILE", std::nullopt);
    gdFontCacheShutdown();
    FontLookup lookup;
    const FontChoice choice = resolve_font(lookup, DEFAULT_FONT_NAME, 7.0);
    ASSERT_FALSE(choice.path.empty()) << choice.search;
    EXPECT_EQ(choice.libgd_name, choice.path);
    EXPECT_EQ(family_of(choice.path), "FreeMono");
    EXPECT_FALSE(font_lookup_started(lookup));
}
