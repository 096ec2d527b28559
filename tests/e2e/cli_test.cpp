#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "support/messages.hpp"
#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

std::string joined(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments) text += "[" + argument + "] ";
    return text;
}

const std::string CROP_WARNING = "warning: option --crop is deprecated and now default.  see --no-crop\n";

}  // namespace

// Runs that end before anything is converted: the exact standard error and status.
TEST(CommandLine, RunsThatConvertNothing)
{
    const std::string help = cli_fixture("help.txt");
    const std::string version = cli_fixture("version.txt");
    const std::string no_input = "error: no input files specified\n\n" + help;
    const std::string bad_size = "error: invalid output dimensions\n";
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string err;
    } cases[] = {
        {{}, 1, no_input},
        {{"--width=0"}, 1, no_input},
        {{"--help"}, 0, help},
        {{"-h"}, 0, help},
        {{"a.txt", "--help"}, 0, help},
        {{"--help", "--version"}, 0, help},
        {{"--version"}, 0, version},
        {{"-V"}, 0, version},
        {{"--version", "--help"}, 0, version},
        {{"--bogus", "--help"}, 1, "error: unknown option --bogus\n\n" + help},
        {{"a.txt", "-x"}, 1, "error: unknown option -x\n\n" + help},
        {{"--font-size", "a.txt"}, 1, "error: --font-size= expects a fraction of 280 points, as in --font-size=0.05\n\n" + help},
        {{"--size=800x", "a.txt"}, 1, "error: --size= expects WIDTHxHEIGHT, as in --size=800x600\n\n" + help},
        // The parser speaks before --silent takes effect.
        {{"--silent", "--help"}, 0, help},
        {{"--silent", "a.txt", "--bogus"}, 1, "error: unknown option --bogus\n\n" + help},
        {{"--width=0", "a.txt"}, 1, bad_size},
        {{"--height=-1", "a.txt"}, 1, bad_size},
        {{"--size=0x0", "a.txt"}, 1, bad_size},
        {{"--width=-99999999999", "a.txt"}, 1, bad_size},
        {{"--font-size=0", "a.txt"}, 1, "error: too small font size 0.000000\n"},
        {{"--font-size=0.00005", "a.txt"}, 1, "error: too small font size 0.000050\n"},
        {{"--font-size=-1", "a.txt"}, 1, "error: too small font size -1.000000\n"},
        // Silenced errors keep their status.
        {{"--silent"}, 1, ""},
        {{"-s", "--width=0", "a.txt"}, 1, ""},
        {{"--silent", "--verbose", "missing.txt"}, 1, ""},
        {{"--silent", "--output=no/such/dir/a.png", "a.txt"}, 1, ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(joined(test.arguments));
        TempDir dir;
        write_file(dir / "a.txt", "a\n");
        RunResult result = run_vedad(dir.path(), test.arguments);
        EXPECT_EQ(result.status, test.status);
        EXPECT_EQ(result.err, test.err);
        EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
    }
}

TEST(CommandLine, AcceptedOptionsAreQuietButForTheCropWarning)
{
    const struct {
        std::vector<std::string> arguments;
        std::string err;
        bool cropped;
    } cases[] = {
        {{"--crop", "a.txt"}, CROP_WARNING + "writing a.png\n", true},
        {{"--no-crop", "--crop", "a.txt"}, CROP_WARNING + "writing a.png\n", false},
        {{"--silent", "--crop", "a.txt"}, CROP_WARNING, true},
        {{"--format=png", "--format=", "--tab=x", "a.txt"}, "writing a.png\n", true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(joined(test.arguments));
        TempDir dir;
        write_file(dir / "a.txt", "a\n");
        RunResult result = run_vedad(dir.path(), test.arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, test.err);
        Image image = read_png(dir / "a.png");
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(gdImageSX(image.get()) < 640, test.cropped);
    }
}

// The example that a message about a value option gives is one the program accepts.
TEST(CommandLine, TheExampleOfAnOptionsMessageIsAccepted)
{
    const std::string no_input = "error: no input files specified\n\n" + cli_fixture("help.txt");
    const std::regex example(R"(^error: (--[a-z-]+=) expects [^\n]*, as in (\1\S+)\n\n)");
    for (const std::string option :
         {"--background", "--charspacing", "--fallback-font", "--font", "--font-size", "--foreground", "--format",
          "--height", "--linespacing", "--margin", "--min-contrast", "--output", "--scale", "--size", "--tab",
          "--theme", "--width"}) {
        SCOPED_TRACE(option);
        TempDir dir;
        const RunResult refused = run_vedad(dir.path(), {option});
        std::smatch match;
        ASSERT_TRUE(std::regex_search(refused.err, match, example)) << refused.err;
        EXPECT_EQ(match[1], option + "=");
        const RunResult accepted = run_vedad(dir.path(), {match[2]});
        EXPECT_EQ(accepted.status, 1);
        EXPECT_EQ(accepted.err, no_input);
    }
}

// A colour is six hex digits of either case after an optional '#'; a value that is not
// quite that still reads as it always has, and --verbose says how.
TEST(CommandLine, ColoursReadWithOrWithoutHashInEitherCaseAndVerboseWarnsOfTheRest)
{
    const std::string warning = "warning: --background=#0880 is read as 088000, since missing digits count 0\n";
    const std::string verbose =
        "output format: ARGB32 640x480 pixels\nreading a.txt\n" + DEFAULT_FONT_LINE + "writing a.png\n";
    const struct {
        std::vector<std::string> arguments;
        std::string err;
        int corner;
    } cases[] = {
        {{"--background=#1e1e1e", "a.txt"}, "writing a.png\n", rgb(30, 30, 30)},
        {{"--background=1E1E1E", "a.txt"}, "writing a.png\n", rgb(30, 30, 30)},
        {{"--background=#1E1E1E", "-v", "a.txt"}, verbose, rgb(30, 30, 30)},
        {{"--background=#0880", "a.txt"}, "writing a.png\n", rgb(0x08, 0x80, 0x00)},
        {{"a.txt", "--background=#0880", "-v"}, warning + verbose, rgb(0x08, 0x80, 0x00)},
        {{"--background=#0880", "-v", "--silent", "a.txt"}, "", rgb(0x08, 0x80, 0x00)},
        {{"--background=088000", "-v", "a.txt"}, verbose, rgb(0x08, 0x80, 0x00)},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(joined(test.arguments));
        TempDir dir;
        write_file(dir / "a.txt", "a\n");
        std::vector<std::string> arguments = test.arguments;
        arguments.push_back("--no-crop");
        RunResult result = run_vedad(dir.path(), arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, test.err);
        Image image = read_png(dir / "a.png");
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(pixel(image, 639, 479), test.corner);
    }
}

TEST(CommandLine, VerboseNamesTheFormatAndSizeFirst)
{
    const struct {
        std::vector<std::string> arguments;
        std::string first_line;
    } cases[] = {
        {{"--verbose", "a.txt"}, "output format: ARGB32 640x480 pixels\n"},
        {{"a.txt", "-v", "--size=800x200"}, "output format: ARGB32 800x200 pixels\n"},
        {{"-v", "--format=rgb24", "a.txt"}, "output format: RGB24 640x480 pixels\n"},
        {{"-v", "--format=A8", "--format=png", "a.txt"}, "output format: A8 640x480 pixels\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(joined(test.arguments));
        TempDir dir;
        write_file(dir / "a.txt", "a\n");
        RunResult result = run_vedad(dir.path(), test.arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1), test.first_line);
        EXPECT_EQ(result.err.find("reading a.txt\n"), test.first_line.size());
    }
}

// Standard error goes to a file here: once silenced, nothing may reach it, and the PNG
// written later must not receive the stream's messages either.
TEST(CommandLine, SilentRunsPrintNothingAndWriteWholePngs)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--silent", "--output=out.png", "a.txt"},
        {"-s", "--verbose", "--output=out.png", "a.txt"},
        {"--verbose", "-", "--output=out.png", "--silent"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(joined(arguments));
        TempDir dir;
        write_file(dir / "a.txt", "a\n");
        RunResult result = run_vedad(dir.path(), arguments, "b\n");
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_NE(read_png(dir / "out.png"), nullptr);
        EXPECT_EQ(read_file(dir / "out.png").rfind("\x89PNG\r\n\x1a\n", 0), 0u);
    }
}

TEST(CommandLine, OptionsAfterTheOperandsApplyAndTheLastSizeWins)
{
    TempDir dir;
    write_file(dir / "a.txt", "a\n");
    RunResult result = run_vedad(dir.path(), {"a.txt", "--size=800x600", "--width=100", "--no-crop"});
    EXPECT_EQ(result.status, 0);
    Image image = read_png(dir / "a.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(gdImageSX(image.get()), 100);
    EXPECT_EQ(gdImageSY(image.get()), 600);
}

// Sizes beyond 32 bits are held at the limit, which libgd then refuses to allocate; so are
// pictures a scaled margin or a margin makes too large. The run says so in its own words alone: no
// line of libgd's reaches standard error.
TEST(CommandLine, HugeSizesAreRefusedCleanly)
{
    TempDir reference;
    write_file(reference / "a.txt", "a\n");
    ASSERT_EQ(run_vedad(reference.path(), {"a.txt"}).status, 0);
    const Image cropped = read_png(reference / "a.png");
    ASSERT_NE(cropped, nullptr);
    const auto framed = [&](int margin) {
        return "error: could not create an image of " + std::to_string(gdImageSX(cropped.get()) + 2 * margin) + "x" +
               std::to_string(gdImageSY(cropped.get()) + 2 * margin) + " pixels\n";
    };
    const struct {
        std::vector<std::string> arguments;
        std::string err;
    } cases[] = {
        {{"--width=99999999999", "a.txt"}, "error: could not create an image of 2147483647x480 pixels\n"},
        {{"--height=99999999999", "a.txt"}, "error: could not create an image of 640x2147483647 pixels\n"},
        {{"--size=10x99999999999999999999", "a.txt"}, "error: could not create an image of 10x2147483647 pixels\n"},
        {{"--scale=8", "--size=50000x50000", "a.txt"}, "error: could not create an image of 50000x50000 pixels\n"},
        {{"--scale=8", "--margin=100000", "a.txt"},
         "error: could not create an image of " + std::to_string(8 * gdImageSX(cropped.get()) + 1600000) + "x" +
             std::to_string(8 * gdImageSY(cropped.get()) + 1600000) + " pixels\n"},
        {{"--margin=100000", "a.txt"}, framed(100000)},
        {{"--margin=2147483647", "a.txt"}, "error: could not create an image of 2147483647x2147483647 pixels\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(joined(c.arguments));
        TempDir dir;
        write_file(dir / "a.txt", "a\n");
        RunResult result = run_vedad(dir.path(), c.arguments);
        EXPECT_EQ(result.signal, 0);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
    }
}

// An option's value in the next argument draws the same picture as after its "=", and -o is
// --output=.
TEST(CommandLine, ValuesInTheNextArgumentDrawTheSamePicture)
{
    const std::vector<std::string> joined_form = {
        "--width=300", "--height=100", "--no-crop", "--font-size=0.05", "--background=ffff00",
        "--foreground=0b5394", "--linespacing=-1", "--font=Courier", "--output=pic.png", "a.txt",
    };
    const std::vector<std::vector<std::string>> spaced_forms = {
        {"--width", "300", "--height", "100", "--no-crop", "--font-size", "0.05", "--background", "ffff00",
         "--foreground", "0b5394", "--linespacing", "-1", "--font", "Courier", "--output", "pic.png", "a.txt"},
        {"a.txt", "--size", "300x100", "--no-crop", "--font-size", "0.05", "--background", "ffff00", "--foreground",
         "0b5394", "--linespacing", "-1", "--font", "Courier", "-o", "pic.png"},
    };
    TempDir reference;
    write_file(reference / "a.txt", "ab\ncd\n");
    const RunResult expected = run_vedad(reference.path(), joined_form);
    ASSERT_EQ(expected.status, 0) << expected.err;
    EXPECT_EQ(expected.err, "writing pic.png\n");
    for (const auto& arguments : spaced_forms) {
        SCOPED_TRACE(joined(arguments));
        TempDir dir;
        write_file(dir / "a.txt", "ab\ncd\n");
        const RunResult result = run_vedad(dir.path(), arguments);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, expected.err);
        EXPECT_EQ(read_file(dir / "pic.png"), read_file(reference / "pic.png"));
        EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.txt", "pic.png"}));
    }
}

// After "--" every argument is a file: one whose name begins with a hyphen, and "-" as
// standard input. Before it, such a name is an option.
TEST(CommandLine, EndOfOptionsMakesEveryLaterArgumentAFile)
{
    const std::string help = cli_fixture("help.txt");
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string err;
        std::vector<std::string> files;  // the directory afterwards
    } cases[] = {
        {{"--", "-x.txt", "-"}, 0, "writing -x.png\nwriting stdin.png\n", {"-x.png", "-x.txt", "stdin.png"}},
        {{"--no-crop", "--", "--", "-x.txt"}, 1, "error: couldn't open file: No such file or directory\n", {"-x.txt"}},
        {{"-x.txt", "--"}, 1, "error: unknown option -x.txt\n\n" + help, {"-x.txt"}},
        {{"-o", "pic.png", "--", "-x.txt"}, 0, "writing pic.png\n", {"-x.txt", "pic.png"}},
        {{"a.txt", "-o"}, 1, "error: -o expects a file or directory name, as in -o pictures\n\n" + help, {"-x.txt"}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(joined(test.arguments));
        TempDir dir;
        write_file(dir / "-x.txt", "x\n");
        const RunResult result = run_vedad(dir.path(), test.arguments, "in\n");
        EXPECT_EQ(result.status, test.status);
        EXPECT_EQ(result.err, test.err);
        EXPECT_EQ(list_directory(dir.path()), test.files);
    }
}

// --list-fonts names the installed fonts on standard output, here those of the tests'
// fontconfig configuration: Courier.ttf there is FreeMono, with its bold and oblique faces.
TEST(CommandLine, ListFontsNamesTheInstalledFamiliesAndTheirStyles)
{
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> has;
        std::vector<std::string> lacks;
    } cases[] = {
        {{"--list-fonts"}, {"DejaVu Sans Mono: Book", "FreeMono: Bold, Bold Oblique, Oblique, Regular"}, {"FreeSans: Regular", "FreeSerif: Regular"}},
        {{"--list-fonts=all"},
         {"DejaVu Sans Mono: Book", "FreeMono: Bold, Bold Oblique, Oblique, Regular", "FreeSans: Regular", "FreeSerif: Regular"},
         {}},
        // It ends the run where it stands, as --help does.
        {{"a.txt", "--list-fonts", "--bogus"}, {"DejaVu Sans Mono: Book", "FreeMono: Bold, Bold Oblique, Oblique, Regular"}, {}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(joined(test.arguments));
        TempDir dir;
        Launch how;
        how.capture_out = true;
        const Outcome result = launch(dir.path(), test.arguments, how);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
        std::vector<std::string> lines;
        std::vector<std::string> families;  // sorted by name
        for (size_t start = 0, end; (end = result.out.find('\n', start)) != std::string::npos; start = end + 1) {
            lines.push_back(result.out.substr(start, end - start));
            families.push_back(lines.back().substr(0, lines.back().find(": ")));
        }
        EXPECT_TRUE(std::is_sorted(families.begin(), families.end())) << result.out;
        for (const std::string& line : test.has) EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
        for (const std::string& line : test.lacks) EXPECT_EQ(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
        EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{});
    }
}
