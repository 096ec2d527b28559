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

// All the run says of `name`, a font neither libgd, looking in `folders`, nor fontconfig finds.
std::string not_found_error(const std::string& name, const std::string& folders)
{
    return metrics_error(name, "Could not find/open font") + "\nIf the font was not found: '" + name +
           "' was looked for\n"
           "  - by libgd, in the folders of GDFONTPATH (" + folders + "), with .ttf, .pfa, .pfb and .dfont added\n"
           "  - through fontconfig, among the installed fonts, as '" + name + "'\n"
           "Name an installed font by its family, or a font file by its path (--font=PATH).\n"
           "The installed monospace fonts are listed by:\n\n"
           "    fc-list :spacing=mono family\n";
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
    // One row, cropped below its descent.
    const TextSize sample = measure_sample("Courier", 7.0);
    const auto cropping = [&](const std::string& text) {
        return "cropping image to " + std::to_string(measure_string("Courier", 7.0, text).width) + "x" +
               std::to_string(sample.height + 2 + sample.descent + 1) + " pixels\n";
    };
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "output format: ARGB32 640x480 pixels\nreading a.txt\nfont: " + TEST_FONTS +
                               "/Courier.ttf\n" + cropping("a") + "writing a.png\nreading b.txt\n" + cropping("b") +
                               "writing b.png\n");
}

TEST(Fonts, ANameNoFontHasEndsTheRunSayingWhereItWasLookedFor)
{
    TempDir no_fonts;
    TempDir dir;
    write_file(dir / "a.txt", "a\n");
    const Outcome outcome = launch(dir.path(), {"--font=No Such Font", "a.txt"}, with_font_path(no_fonts.path().string()));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, not_found_error("No Such Font", no_fonts.path().string()));
    EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
}

// A name that holds no family names no font, though fontconfig would match any font to it;
// a family with properties after it still names that family's font.
TEST(Fonts, ANameWithNoFamilyIsNotFound)
{
    TempDir no_fonts;
    for (const std::string name : {"-", ":", "\\", ":style=Bold"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        write_file(dir / "a.txt", "a\n");
        const Outcome outcome = launch(dir.path(), {"--font=" + name, "a.txt"}, with_font_path(no_fonts.path().string()));
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.err, not_found_error(name, no_fonts.path().string()));
        EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
    }
    const struct {
        std::string name;
        std::string file;
    } found[] = {
        {"DejaVu Sans Mono:style=Bold", TEST_FONTS + "/DejaVuSansMono.ttf"},
        {"FreeMono:style=Bold", TEST_FONTS + "/FreeMonoBold.ttf"},
    };
    for (const auto& c : found) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        write_file(dir / "a.txt", "a\n");
        const Outcome outcome =
            launch(dir.path(), {"--verbose", "--font=" + c.name, "a.txt"}, with_font_path(no_fonts.path().string()));
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_NE(outcome.err.find("\nfont: " + c.file + "\n"), std::string::npos) << outcome.err;
        EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.png", "a.txt"}));
    }
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

namespace {

// The machine's own fonts, as the set-up installs them (CJK, emoji, DejaVu), with the test
// fonts' FreeMono as the font.
Launch with_installed_fonts()
{
    Launch how;
    how.environment = {{"FONTCONFIG_FILE", "/etc/fonts/fonts.conf"}};
    return how;
}

struct Drawn {
    Outcome outcome;
    Image image;
};

Drawn draw_line(const std::string& line, std::vector<std::string> arguments)
{
    TempDir dir;
    write_file(dir / "a.txt", line + "\n");
    arguments.insert(arguments.end(), {"--no-crop", "--size=200x30", "a.txt"});
    Drawn drawn{launch(dir.path(), arguments, with_installed_fonts()), nullptr};
    drawn.image = read_png(dir / "a.png");
    return drawn;
}

// The file --verbose names as the fallback font, or "".
std::string fallback_file(const std::string& err)
{
    const std::string label = "fallback font: ";
    const size_t at = err.find(label);
    if (at == std::string::npos) return "";
    return err.substr(at + label.size(), err.find('\n', at) - at - label.size());
}

}  // namespace

// Each character FreeMono lacks is drawn from the face fontconfig names for it, at the
// font's size on its baseline: exactly libgd's drawing of it in that face. --no-fallback
// brings the font's box back.
TEST(Fonts, CharactersTheFontLacksComeFromTheInstalledFontsThatHaveThem)
{
    const int white = rgb(255, 255, 255);
    const int black = rgb(0, 0, 0);
    const int line_height = measure_sample("Courier", 7.0).height + 2;
    const struct {
        std::string character;
        // false: a face of a collection that libgd cannot open, or a character of four bytes,
        // which libgd reads as four
        bool compare_with_libgd;
    } cases[] = {
        {"\xe6\xbc\xa2", false}, {"\xe5\xad\x97", false}, {"\xe2\x9c\x94", true}, {"\xe2\x9a\xa0", true},
        {"\xe2\x9d\xa4", true},  {"\xf0\x9f\x98\x80", false}, {"\xf0\x9d\x94\xb8", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.character);
        const Drawn drawn = draw_line(c.character, {"--verbose"});
        const Drawn box = draw_line(c.character, {"--no-fallback"});
        ASSERT_EQ(drawn.outcome.status, 0) << drawn.outcome.err;
        ASSERT_NE(drawn.image, nullptr);
        ASSERT_NE(box.image, nullptr);
        const std::string face = fallback_file(drawn.outcome.err);
        EXPECT_NE(face, "") << drawn.outcome.err;
        EXPECT_GT(count_other_pixels(drawn.image, black, 0, 0, 200, 30), 0);
        EXPECT_NE(compare_images(drawn.image, box.image), "");
        if (c.compare_with_libgd) {
            const Image expected = draw_rows(200, 30, black, white, face, 7.0, line_height, {c.character});
            EXPECT_EQ(compare_images(drawn.image, expected), "") << face;
        }
    }
    // The whole line: no character is the font's box, which --no-fallback draws for each.
    const std::string line = "\xe6\xbc\xa2\xe5\xad\x97 \xe2\x9c\x94 \xe2\x9a\xa0 \xe2\x9d\xa4 \xf0\x9f\x98\x80 \xf0\x9d\x94\xb8";
    const Drawn drawn = draw_line(line, {});
    const Drawn boxes = draw_line(line, {"--no-fallback"});
    ASSERT_NE(drawn.image, nullptr);
    ASSERT_NE(boxes.image, nullptr);
    EXPECT_NE(compare_images(drawn.image, boxes.image), "");
    // With --no-fallback every character is the font's box, one per character (U+E000: no
    // face has it).
    const std::string box = "\xee\x80\x80";
    const Drawn seven_boxes = draw_line(box + box + " " + box + " " + box + " " + box + " " + box + " " + box,
                                        {"--no-fallback"});
    ASSERT_NE(seven_boxes.image, nullptr);
    EXPECT_EQ(compare_images(boxes.image, seven_boxes.image), "");
}

// An emoji comes from the colour face the set-up installs, in its own colours: the text
// colour does not tint it. A variation selector after a character asks for the emoji (U+FE0F)
// or the text (U+FE0E) face.
TEST(Fonts, EmojiKeepTheirOwnColors)
{
    const auto colored_pixels = [](const Image& image) {
        int colored = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 200; ++x) {
                const int p = pixel(image, x, y);
                if (gdTrueColorGetRed(p) > gdTrueColorGetBlue(p) + 100) ++colored;
            }
        }
        return colored;
    };
    const std::string grinning_face = "\xf0\x9f\x98\x80";
    const std::string heart = "\xe2\x9d\xa4";
    const std::string as_emoji = "\xef\xb8\x8f";
    const std::string as_text = "\xef\xb8\x8e";
    const Drawn white = draw_line(grinning_face, {"--verbose"});
    const Drawn red = draw_line(grinning_face, {"--foreground=ff0000"});
    ASSERT_NE(white.image, nullptr);
    ASSERT_NE(red.image, nullptr);
    EXPECT_NE(fallback_file(white.outcome.err).find("Emoji"), std::string::npos) << white.outcome.err;
    EXPECT_EQ(compare_images(white.image, red.image), "");
    EXPECT_GT(colored_pixels(white.image), 10);

    const struct {
        std::string text;
        bool colored;
    } cases[] = {
        {heart, false}, {heart + as_emoji, true}, {grinning_face + as_text, false}, {grinning_face + as_emoji, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Drawn drawn = draw_line(c.text, {});
        ASSERT_NE(drawn.image, nullptr);
        EXPECT_EQ(colored_pixels(drawn.image) > 10, c.colored);
        EXPECT_GT(count_other_pixels(drawn.image, rgb(0, 0, 0), 0, 0, 200, 30), 10);
    }
}

// A byte that begins no UTF-8 character draws as libgd reads it, as when fallback is off;
// a Latin-1 file draws as before.
TEST(Fonts, InvalidUtf8AndLatin1DrawAsLibgdReadsThem)
{
    for (const std::string& line : {std::string("\x80 \xbf"), std::string("\xe2\x94"), std::string("\xc0\x80 \xe0\x80\xaf"),
                                   std::string("\xed\xa0\x80"), std::string("\xf0\x9f\x98"),
                                   std::string("\xf4\x90\x80\x80 \xf8\x88\x80\x80\x80"), std::string("caf\xe9 \xfc\xdf")}) {
        SCOPED_TRACE(line);
        const Drawn drawn = draw_line(line, {});
        const Drawn by_libgd = draw_line(line, {"--no-fallback"});
        ASSERT_EQ(drawn.outcome.status, 0);
        ASSERT_NE(drawn.image, nullptr);
        ASSERT_NE(by_libgd.image, nullptr);
        const int line_height = measure_sample("Courier", 7.0).height + 2;
        const Image expected = draw_rows(200, 30, rgb(0, 0, 0), rgb(255, 255, 255), "Courier", 7.0, line_height, {line});
        EXPECT_EQ(compare_images(by_libgd.image, expected), "");
        // FreeMono has every character these read as, but for controls and surrogates.
        EXPECT_EQ(compare_images(drawn.image, expected), "");
    }
}
