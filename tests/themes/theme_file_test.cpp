#include "themes/theme_file.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "support/test_support.hpp"
#include "themes/builtin_themes.hpp"
#include "themes/itermcolors.hpp"
#include "themes/windows_terminal.hpp"
#include "themes/xresources.hpp"

using namespace vedad;

namespace {

const std::filesystem::path THEMES = std::filesystem::path(VEDAD_FIXTURE_DIR) / "themes";

// The colours every fixture theme gives: 0 to 15, the text colour, the background colour.
constexpr std::array<uint32_t, 18> FIXTURE_COLORS = {
    0x101010, 0xc01020, 0x20c030, 0xc0a040, 0x3050d0, 0xa040c0, 0x40b0b0, 0xd0d0d0, 0x606060,
    0xff5060, 0x60ff70, 0xffe080, 0x7090ff, 0xe080ff, 0x80ffff, 0xfafafa, 0xe0e0e1, 0x1a1b1c,
};

std::array<uint32_t, 18> colors_of(const Theme& theme)
{
    std::array<uint32_t, 18> colors{};
    for (size_t i = 0; i < theme.basic.size(); ++i) colors[i] = hex_of_rgb(theme.basic[i]);
    colors[16] = hex_of_rgb(theme.foreground);
    colors[17] = hex_of_rgb(theme.background);
    return colors;
}

std::string described(const ThemeReading& reading)
{
    return reading.problem.empty() ? "read" : "line " + std::to_string(reading.line) + ": " + reading.problem;
}

}  // namespace

TEST(ThemeFile, EachFormGivesTheEighteenColoursOfItsFixture)
{
    for (const char* name : {"fixture.json", "fixture.itermcolors", "fixture.Xresources"}) {
        SCOPED_TRACE(name);
        const ThemeReading reading = read_theme_text(vedad_test::read_file(THEMES / name));
        ASSERT_EQ(described(reading), "read");
        EXPECT_EQ(colors_of(reading.theme), FIXTURE_COLORS);
    }
}

TEST(ThemeFile, TheFormIsToldByTheFirstCharacters)
{
    // The same broken text in each form tells which reader saw it by the problem it names.
    const struct {
        std::string text;
        std::string problem_start;
    } cases[] = {
        {"{", "not JSON: "},
        {"  \n\t{", "not JSON: "},
        {"\xef\xbb\xbf{", "not JSON: "},
        {"<?xml version=\"1.0\"?><plist><dict><key>x", "not XML: "},
        {"<plist><dict></plist>", "not XML: "},
        {"\n<plist version=\"1.0\"><dict/></plist>", "no colour for Ansi 0 Color"},
        {"<dict/>", "\"<dict/>\" is no resource"},
        {"\xef\xbb\xbf! only a comment", "no colour for color0"},
        {"", "no colour for color0"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        const ThemeReading reading = read_theme_text(test.text);
        EXPECT_TRUE(reading.problem.starts_with(test.problem_start)) << reading.problem;
    }
}

TEST(Xresources, ReadsColoursByTheirLastNameAndSaysWhatIsWrongOnWhichLine)
{
    std::string complete;
    for (int i = 0; i < 16; ++i) complete += "*.color" + std::to_string(i) + ": #0000" + (i < 10 ? "0" : "") +
                                              std::to_string(i) + "\n";
    complete += "*.foreground: #FFFFFF\n*.background: #000000\n";
    ASSERT_EQ(described(read_xresources(complete)), "read");
    EXPECT_EQ(hex_of_rgb(read_xresources(complete).theme.basic[12]), 0x000012u);
    EXPECT_EQ(hex_of_rgb(read_xresources(complete + "color12: #abcdef\n").theme.basic[12]), 0xabcdefu)
        << "a later line replaces an earlier one";
    EXPECT_EQ(described(read_xresources("   \t\r\n" + complete + "*.colorBD: nonsense\n! #ff\n")), "read");

    const struct {
        std::string text;
        std::string problem;  // with its line
    } cases[] = {
        {complete + "*.color3: #12345\n", "line 19: *.color3 is \"#12345\", not a colour #rrggbb"},
        {complete + "*.color3: 123456\n", "line 19: *.color3 is \"123456\", not a colour #rrggbb"},
        {complete + "*.color3: #1234567\n", "line 19: *.color3 is \"#1234567\", not a colour #rrggbb"},
        {complete + "*.color3: #12345g\n", "line 19: *.color3 is \"#12345g\", not a colour #rrggbb"},
        {complete + "*.color3: rgb:12/34/56\n", "line 19: *.color3 is \"rgb:12/34/56\", not a colour #rrggbb"},
        {complete + "*.color3:\n", "line 19: *.color3 is \"\", not a colour #rrggbb"},
        {"! a\n\n" + complete + "*.foreground #ffffff\n",
         "line 21: \"*.foreground #ffffff\" is no resource: a name, ':' and a value"},
        {"#include \"colors\"\n" + complete,
         "line 1: \"#include \"colors\"\" is not read here: of the preprocessor's lines only #define NAME VALUE is"},
        {"#define BG\n" + complete, "line 1: \"#define BG\" defines no value"},
        {complete.substr(complete.find('\n') + 1), "line 0: no colour for color0"},
        {complete.substr(0, complete.rfind("*.background")), "line 0: no colour for background"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.problem);
        EXPECT_EQ(described(read_xresources(test.text)), test.problem);
    }
}

TEST(WindowsTerminalScheme, SaysWhatIsWrongWithTheJsonOrAColour)
{
    const std::string fixture = vedad_test::read_file(THEMES / "fixture.json");
    auto with = [&](const std::string& from, const std::string& to) {
        std::string text = fixture;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        std::string text;
        std::string problem;
    } cases[] = {
        {with("\"red\": \"#c01020\"", "\"red\": \"#c0102\""), "line 0: \"red\" is \"#c0102\", not a colour \"#rrggbb\""},
        {with("\"red\": \"#c01020\"", "\"red\": \"c01020\""), "line 0: \"red\" is \"c01020\", not a colour \"#rrggbb\""},
        {with("\"red\": \"#c01020\"", "\"red\": 12632096"), "line 0: \"red\" is 12632096, not a colour \"#rrggbb\""},
        {with("\"red\": \"#c01020\"", "\"red\": [\"#c01020\", \"#c01020\", \"#c01020\", \"#c01020\"]"),
         "line 0: \"red\" is [\"#c01020\",\"#c01020\",\"#c01020\",\"#c01020\"..., not a colour \"#rrggbb\""},
        {with("    \"brightWhite\": \"#FAFAFA\",\n", ""), "line 0: no colour for brightWhite"},
        {"[\"#000000\"]", "line 0: not a colour scheme: a JSON object of colours"},
        {"{\"black\": " + std::string(20, '[') + std::string(20, ']') + "}",
         "line 0: not a colour scheme: its values are nested more than 8 deep"},
        // A number no double holds is refused as the reader tells it, not thrown past the run.
        {"{\"name\": 5e99999}", "line 0: not JSON: number overflow parsing '5e99999'"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.problem);
        EXPECT_EQ(described(read_windows_terminal_scheme(test.text)), test.problem);
    }

    // A broken JSON text is placed by its line.
    const ThemeReading missing_comma = read_windows_terminal_scheme(with("\"red\": \"#c01020\",", "\"red\": \"#c01020\""));
    EXPECT_EQ(missing_comma.line, 8);
    EXPECT_TRUE(missing_comma.problem.starts_with("not JSON: syntax error")) << missing_comma.problem;
    const ThemeReading unended = read_windows_terminal_scheme("{\n\"black\": \"#000000\",\n");
    EXPECT_EQ(unended.line, 3);
    EXPECT_TRUE(unended.problem.starts_with("not JSON: ")) << unended.problem;
}

TEST(Itermcolors, SaysWhatIsWrongWithTheXmlOrAComponent)
{
    const std::string fixture = vedad_test::read_file(THEMES / "fixture.itermcolors");
    // The red component of Ansi 0 Color, the first colour of the fixture.
    const std::string red = "<real>0.062745098039215685</real>\n\t</dict>";
    const size_t red_at = fixture.find(red);
    ASSERT_NE(red_at, std::string::npos);
    const int64_t red_line = 1 + std::count(fixture.begin(), fixture.begin() + static_cast<std::ptrdiff_t>(red_at), '\n');
    auto with = [&](const std::string& from, const std::string& to) {
        std::string text = fixture;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string line = "line " + std::to_string(red_line) + ": ";
    const struct {
        std::string text;
        std::string problem;
    } cases[] = {
        {with(red, "<real>1.5</real>\n\t</dict>"),
         line + "Ansi 0 Color's Red Component is <real>1.5</real>, not a real from 0 to 1"},
        {with(red, "<real>-0.1</real>\n\t</dict>"),
         line + "Ansi 0 Color's Red Component is <real>-0.1</real>, not a real from 0 to 1"},
        {with(red, "<real>half</real>\n\t</dict>"),
         line + "Ansi 0 Color's Red Component is <real>half</real>, not a real from 0 to 1"},
        {with(red, "<real></real>\n\t</dict>"),
         line + "Ansi 0 Color's Red Component is <real></real>, not a real from 0 to 1"},
        {with(red, "<string>0.5</string>\n\t</dict>"),
         line + "Ansi 0 Color's Red Component is <string>0.5</string>, not a real from 0 to 1"},
        {with("<key>Red Component</key>\n\t\t" + red, red),
         "line " + std::to_string(red_line) + ": Ansi 0 Color has no Red Component"},
        {with("<key>Ansi 7 Color</key>", "<key>Ansi 7 Colour</key>"), "line 0: no colour for Ansi 7 Color"},
        {"<?xml version=\"1.0\"?>\n<html></html>", "line 2: not a property list: it begins with <html>"},
        {"<plist>\n<array></array></plist>", "line 2: not a property list of colours: it holds <array>, not <dict>"},
        {"<plist>\n<dict>\n</plist>", "line 3: not XML: mismatched tag"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.problem);
        EXPECT_EQ(described(read_itermcolors(test.text)), test.problem);
    }
    // Whole numbers are components too.
    const ThemeReading integers = read_itermcolors(with(red, "<integer>1</integer>\n\t</dict>"));
    ASSERT_EQ(described(integers), "read");
    EXPECT_EQ(hex_of_rgb(integers.theme.basic[0]), 0xff1010u);
}

TEST(BuiltinThemes, XtermIsTheDefaultAndEveryNameIsFoundAndDistinct)
{
    ASSERT_FALSE(builtin_themes().empty());
    EXPECT_STREQ(builtin_themes()[0].name, "xterm");
    EXPECT_EQ(builtin_themes()[0].theme, Theme{});
    for (const NamedTheme& named : builtin_themes()) {
        SCOPED_TRACE(named.name);
        ASSERT_NE(builtin_theme(named.name), nullptr);
        EXPECT_EQ(builtin_theme(named.name), &named.theme);
        EXPECT_NE(named.theme.foreground, named.theme.background);
    }
    EXPECT_EQ(builtin_themes().size(), 13u);
    for (const char* name : {"", "list", "Xterm", "solarized", "xterm "}) EXPECT_EQ(builtin_theme(name), nullptr) << name;
    EXPECT_EQ(hex_of_rgb(builtin_theme("vga")->basic[3]), 0xaa5500u);
    EXPECT_EQ(hex_of_rgb(builtin_theme("solarized-light")->background), 0xfdf6e3u);
}
