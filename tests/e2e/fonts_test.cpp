// How the program finds its fonts: libgd's own lookup first, then installed fonts by name
// through fontconfig; --verbose names the file used.

#include <string>
#include <vector>

#include "support/messages.hpp"
#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

const std::string TEST_FONTS = VEDAD_TEST_FONT_DIR;

Launch with_font_path(const std::string& folders)
{
    Launch how;
    how.environment = {{"GDFONTPATH", folders}};
    return how;
}

}  // namespace

// Names libgd does not find are drawn from the installed font of that name, exactly as from
// its file named by path.
TEST(Fonts, InstalledFontsAreFoundByName)
{
    TempDir no_fonts;
    const struct {
        std::string font;  // "" for the default
        std::string file;
    } cases[] = {
        {"FreeMono", TEST_FONTS + "/Courier.ttf"},
        {"DejaVu Sans Mono", TEST_FONTS + "/DejaVuSansMono.ttf"},
        {"monospace", TEST_FONTS + "/DejaVuSansMono.ttf"},
        {"", TEST_FONTS + "/Courier.ttf"},  // the default: FreeMono
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.font);
        TempDir dir;
        write_file(dir / "a.txt", "Fonts by name\n");
        write_file(dir / "b.txt", "Fonts by name\n");
        std::vector<std::string> by_name = {"--verbose", "--output=a.png", "a.txt"};
        if (!c.font.empty()) by_name.insert(by_name.begin(), "--font=" + c.font);
        const Outcome named = launch(dir.path(), by_name, with_font_path(no_fonts.path().string()));
        EXPECT_EQ(named.status, 0);
        EXPECT_EQ(named.err, "output format: ARGB32 640x480 pixels\nreading a.txt\nfont: " + c.file +
                                 "\n" + named.err.substr(named.err.find("cropping")));
        const Outcome by_path = launch(dir.path(), {"--font=" + c.file, "--output=b.png", "b.txt"});
        EXPECT_EQ(by_path.status, 0);
        EXPECT_EQ(compare_images(read_png(dir / "a.png"), read_png(dir / "b.png")), "");
    }
}

// The font file is named once per run, for the first page; a font libgd finds is named as
// libgd found it.
TEST(Fonts, VerboseNamesTheFontFileOnce)
{
    TempDir dir;
    write_file(dir / "a.txt", "a\n");
    write_file(dir / "b.txt", "b\n");
    const Outcome outcome = launch(dir.path(), {"--verbose", "a.txt", "b.txt"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err,
              "output format: ARGB32 640x480 pixels\nreading a.txt\nfont: " + TEST_FONTS +
                  "/Courier.ttf\ncropping image to 5x9 pixels\nwriting a.png\n"
                  "reading b.txt\ncropping image to 5x9 pixels\nwriting b.png\n");
}

TEST(Fonts, ANameNoFontHasEndsTheRunSayingWhereItWasLookedFor)
{
    TempDir no_fonts;
    TempDir dir;
    write_file(dir / "a.txt", "a\n");
    const Outcome outcome = launch(dir.path(), {"--font=No Such Font", "a.txt"}, with_font_path(no_fonts.path().string()));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err,
              metrics_error("No Such Font", "Could not find/open font") +
                  "\nIf the font was not found: 'No Such Font' was looked for\n"
                  "  - by libgd, in the folders of GDFONTPATH (" + no_fonts.path().string() +
                  "), with .ttf, .pfa, .pfb and .dfont added\n"
                  "  - through fontconfig, among the installed fonts, as 'No Such Font'\n"
                  "Name an installed font by its family, or a font file by its path (--font=PATH).\n"
                  "The installed monospace fonts are listed by:\n\n"
                  "    fc-list :spacing=mono family\n");
    EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
}

// The fonts a machine set up for vedad has installed, with no font folder for libgd.
TEST(Fonts, InstalledFontsOfTheMachineAreFoundByName)
{
    TempDir no_fonts;
    Launch how = with_font_path(no_fonts.path().string());
    how.environment.emplace_back("FONTCONFIG_FILE", "/etc/fonts/fonts.conf");
    for (const std::string font : {"FreeMono", "DejaVu Sans Mono", "monospace", ""}) {
        SCOPED_TRACE(font);
        TempDir dir;
        write_file(dir / "a.txt", "a\n");
        std::vector<std::string> arguments = {"--verbose", "a.txt"};
        if (!font.empty()) arguments.push_back("--font=" + font);
        const Outcome outcome = launch(dir.path(), arguments, how);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_NE(outcome.err.find("\nfont: /"), std::string::npos) << outcome.err;
    }
    TempDir dir;
    write_file(dir / "a.txt", "a\n");
    const Outcome missing = launch(dir.path(), {"--font=NoSuchFont", "a.txt"}, how);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(first_line(missing.err), metrics_error("NoSuchFont", "Could not find/open font"));
    EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
}
