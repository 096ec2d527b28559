#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/messages.hpp"
#include "support/test_support.hpp"

using namespace vedad_test;

namespace {


std::set<int> colors_of(const Image& image)
{
    std::set<int> colors;
    for (int y = 0; y < gdImageSY(image.get()); ++y)
        for (int x = 0; x < gdImageSX(image.get()); ++x) colors.insert(pixel(image, x, y));
    return colors;
}

}  // namespace

TEST(HtmlInput, ColouredListingBecomesAPictureCroppedToItsRows)
{
    const std::string fixture = std::string(VEDAD_FIXTURE_DIR) + "/html/colored_ls.html";
    TempDir dir;
    RunResult result = run_vedad(dir.path(), {"--html-input", fixture});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "writing colored_ls.png\n");
    Image image = read_png(dir / "colored_ls.png");
    ASSERT_NE(image, nullptr);

    // Seven rows of the same font give the height: the listing has seven.
    std::string seven_rows = "<span>a</span>";
    for (int row = 1; row < 7; ++row) seven_rows += "<br/><span>a</span>";
    RunResult reference = run_vedad(dir.path(), {"--html-input", "-"}, seven_rows);
    ASSERT_EQ(reference.status, 0) << reference.err;
    Image rows = read_png(dir / "stdin.png");
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(gdImageSY(image.get()), gdImageSY(rows.get()));
    EXPECT_LT(gdImageSX(image.get()), 640);

    // The first row's cells begin below the descent of the row above it, which is not there.
    const int descent = measure_sample("Courier", 7.0).descent;
    EXPECT_EQ(pixel(image, 0, descent), rgb(0, 0, 0));
    EXPECT_EQ(pixel(image, 0, descent + 1), rgb(0x1c, 0x1c, 0x1c));
    EXPECT_TRUE(colors_of(image).count(rgb(0x5f, 0xd7, 0x5f)));  // the green cells behind tmp
}

TEST(HtmlInput, InputThatDrawsNothingKeepsTheWholePage)
{
    struct Case {
        const char* name;
        std::string input;
        std::string warning;
    };
    const std::vector<Case> cases = {
        {"empty input", "", NOT_HTML_WARNING},
        {"only line breaks", "<br/><br/>\n<br/>\n", ""},
        {"text between spans", "<p>not drawn</p>\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        RunResult result = run_vedad(dir.path(), {"--html-input", "-"}, c.input);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, c.warning + "writing stdin.png\n");
        Image image = read_png(dir / "stdin.png");
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(gdImageSX(image.get()), 640);
        EXPECT_EQ(gdImageSY(image.get()), 480);
        EXPECT_EQ(colors_of(image), std::set<int>{rgb(0, 0, 0)});
    }
}

TEST(HtmlInput, PlainTextGivenAsHtmlIsDrawnAsPlainTextAfterAWarning)
{
    const std::string input = " <span>A</span> is not where it starts\nsecond line\n";
    TempDir as_html;
    TempDir as_text;
    RunResult html = run_vedad(as_html.path(), {"--html-input", "-"}, input);
    RunResult text = run_vedad(as_text.path(), {"-"}, input);
    ASSERT_EQ(html.status, 0) << html.err;
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(html.err, NOT_HTML_WARNING + "writing stdin.png\n");
    const std::string picture = read_file(as_html / "stdin.png");
    EXPECT_FALSE(picture.empty());
    EXPECT_EQ(picture, read_file(as_text / "stdin.png"));
}

TEST(HtmlInput, TransparentPageKeepsItsAlphaAndFillsNoCells)
{
    TempDir dir;
    RunResult result = run_vedad(dir.path(), {"--html-input", "--transparent", "--no-crop", "-"},
                                 "<span style='color:#ff0000; background-color:#0000ff'>H</span>\n");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(png_has_alpha(dir / "stdin.png"));
    Image image = read_png(dir / "stdin.png");
    ASSERT_NE(image, nullptr);
    bool has_ink = false;
    for (int color : colors_of(image)) {
        EXPECT_EQ(gdTrueColorGetBlue(color), 0);
        if (gdTrueColorGetAlpha(color) < gdAlphaTransparent) {
            EXPECT_EQ(gdTrueColorGetRed(color), 255);
            has_ink = true;
        }
    }
    EXPECT_TRUE(has_ink);
    EXPECT_EQ(gdTrueColorGetAlpha(pixel(image, 0, 0)), gdAlphaTransparent);
}

TEST(HtmlInput, UnreadableInputIsAnErrorAndNoPicture)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "listing");
    RunResult result = run_vedad(dir.path(), {"--html-input", "listing"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("error: ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find("listing"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("warning"), std::string::npos) << result.err;
    EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"listing"});
}

namespace {

// The warning about HTML that is not span HTML, for the input named `name`.
std::string foreign_html_warning(const std::string& name)
{
    return "warning: " + name + " is not one span per character; to draw a terminal's output, give it raw with "
           "--ansi-input\n";
}

}  // namespace

// What converters of terminal output to HTML make of coloured output, one element for a run
// of text, made here by the Debian packages aha and colorized-logs (ansi2html) when installed:
// warned about once per input, by its name, unless --silent, also with --fit. Span HTML is not.
TEST(HtmlInput, HtmlOfOtherConvertersIsWarnedAbout)
{
    const struct {
        const char* program;
        const char* html;  // the file it writes here
    } converters[] = {
        {"aha", "aha.html"},
        {"ansi2html", "ansi2html.html"},
    };
    const std::string terminal_output = "\x1b[31mred\x1b[0m plain \x1b[1;32mgreen\x1b[0m\nsecond line\n";
    std::vector<std::string> missing;
    for (const auto& converter : converters) {
        SCOPED_TRACE(converter.program);
        TempDir dir;
        write_file(dir / "terminal.txt", terminal_output);
        const std::string command = std::string("cd '") + dir.path().string() + "' && command -v " + converter.program +
                                    " >/dev/null && " + converter.program + " < terminal.txt > " + converter.html;
        if (std::system(command.c_str()) != 0) {
            missing.push_back(converter.program);
            continue;
        }
        write_file(dir / "spans.html", span_page({"ok", "fine"}));
        const std::string html = read_file(dir / converter.html);
        ASSERT_NE(html.find("red"), std::string::npos) << html;

        const std::string name = converter.html;
        const std::string png = name.substr(0, name.size() - 5) + ".png";
        const struct {
            std::vector<std::string> arguments;
            std::string err;
        } runs[] = {
            {{"--html-input", "spans.html", name, "-"},
             "writing spans.png\n" + foreign_html_warning(name) + "writing " + png + "\n" +
                 foreign_html_warning("standard input") + "writing stdin.png\n"},
            {{"--html-input", "--fit", name}, foreign_html_warning(name) + "writing " + png + "\n"},
            {{"--html-input", "--silent", name, "-"}, ""},
        };
        for (const auto& run : runs) {
            SCOPED_TRACE(testing::PrintToString(run.arguments));
            std::vector<std::string> arguments = run.arguments;
            arguments.push_back("--overwrite");
            const RunResult result = run_vedad(dir.path(), arguments, html);
            EXPECT_EQ(result.status, 0);
            EXPECT_EQ(result.err, run.err);
        }
    }
    if (!missing.empty()) GTEST_SKIP() << "not installed (scripts/setup.sh installs them): " << testing::PrintToString(missing);
}

// Without --fixed a span's cell is as wide as its character's own advance, a character from
// another face included: the row draws what plain text draws for it.
TEST(HtmlInput, WideCharactersTakeTheirOwnAdvanceOrTwoFixedCells)
{
    TempDir dir;
    const std::string text = "a\xe6\xbc\xa2\xf0\x9f\x98\x80x";
    ASSERT_EQ(run_vedad(dir.path(), {"--html-input", "--output=spans.png", "-"},
                        "<span style='color:#ffffff; background-color:#000000'>a</span>"
                        "<span style='color:#ffffff; background-color:#000000'>\xe6\xbc\xa2</span>"
                        "<span style='color:#ffffff; background-color:#000000'>\xf0\x9f\x98\x80</span>"
                        "<span style='color:#ffffff; background-color:#000000'>x</span><br/>")
                  .status,
              0);
    // Each cell as wide as the character drawn alone as plain text.
    int width = 0;
    for (const std::string character : {"a", "\xe6\xbc\xa2", "\xf0\x9f\x98\x80", "x"}) {
        ASSERT_EQ(run_vedad(dir.path(), {"--overwrite", "--output=plain.png", "-"}, character + "\n").status, 0);
        const Image plain = read_png(dir / "plain.png");
        ASSERT_NE(plain, nullptr);
        width += gdImageSX(plain.get());
    }
    const Image spans = read_png(dir / "spans.png");
    ASSERT_NE(spans, nullptr);
    EXPECT_EQ(gdImageSX(spans.get()), width);
    // In fixed cells each wide character takes two, as a terminal shows it.
    ASSERT_EQ(run_vedad(dir.path(), {"--html-input", "--fixed", "--output=fixed.png", "-"}, span_page({text})).status, 0);
    ASSERT_EQ(run_vedad(dir.path(), {"--ansi-input", "--output=terminal.png", "-"}, text + "\n").status, 0);
    const Image fixed = read_png(dir / "fixed.png");
    const Image terminal = read_png(dir / "terminal.png");
    ASSERT_NE(fixed, nullptr);
    ASSERT_NE(terminal, nullptr);
    EXPECT_EQ(gdImageSX(fixed.get()), gdImageSX(terminal.get()));
}
