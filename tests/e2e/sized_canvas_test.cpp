// A regular file whose rows cannot fill the canvas is drawn on a smaller one first. The
// pictures and messages must be those of the whole canvas, which a pipe (that cannot be read
// twice) is always drawn on.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.hpp"

using namespace vedad_test;
namespace fs = std::filesystem;

namespace {

void feed(const fs::path& fifo, const std::string& text)
{
    const int fd = open(fifo.c_str(), O_WRONLY);
    if (fd < 0) return;
    if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) ADD_FAILURE() << "short write";
    close(fd);
}

std::string renamed(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(SizedCanvas, AFileGivesThePictureAndMessagesOfAPipe)
{
    const std::string long_row(200, 'w');
    std::string many_rows;
    for (int i = 0; i < 40; ++i) many_rows += "row " + std::to_string(i) + "\n";
    std::string rows_to_the_bottom;
    for (int i = 0; i < 22; ++i) rows_to_the_bottom += "gjpqy " + std::to_string(i) + "\n";
    const struct {
        std::string name;
        std::vector<std::string> options;
        std::string input;
    } cases[] = {
        {"one line", {}, "hello world\n"},
        {"no line feed", {}, "hello"},
        {"empty", {}, ""},
        {"blank rows", {}, "\n\n\n"},
        {"descenders", {"--transparent", "--margin=3"}, "gjpqy\nyqpjg\n"},
        {"more rows than the canvas", {}, many_rows},
        {"rows down to the bottom edge", {}, rows_to_the_bottom},
        {"cut at the right", {}, long_row + "\nshort\n"},
        {"wrapped into more rows than lines", {"--columns=3"}, long_row + "\n"},
        {"wide line spacing", {"--linespacing=60"}, "a\nb\nc\n"},
        {"no line spacing", {"--linespacing=-100"}, "a\nb\nc\n"},
        {"cursor far down", {"--ansi-input"}, "top\x1b[30Bbottom\n"},
        {"form feeds", {"--ansi-input"}, "a\fb\vc\n"},
        {"rows deleted up from below the smaller canvas", {"--ansi-input"}, "top\x1b[40;1Hfar\x1b[H\x1b[37M\n"},
        {"coloured erase", {"--ansi-input"}, "a long line\nab\x1b[41m\x1b[K\x1b[0m\n"},
        {"spans", {"--html-input", "--fixed"}, span_page({"ab", "cd"})},
        {"spans on one line", {"--html-input"}, span_page({std::string(60, 'x')})},
        {"foreign HTML", {"--html-input"}, "<pre><b>bold</b> text</pre>\n"},
        {"not HTML, drawn again", {"--html-input", "--columns=2"}, "no markup in this text at all\n"},
        {"fallback glyphs", {}, "漢字 😀\n"},
        {"cursor far right", {"--ansi-input"}, "a\x1b[80Cb\n"},
        {"proportional", {"--font=FreeSans"}, "WWWWWWWWWW mmmm\n"},
        {"tabs", {"--tab=12"}, "\ta\t\tb\n"},
        {"wide character spacing", {"--charspacing=9"}, "abc\n"},
        {"negative character spacing", {"--charspacing=-20"}, "abcdef\n"},
        {"wide characters in cells", {"--ansi-input"}, "漢字漢字漢字\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        write_file(dir / "a.txt", c.input);
        ASSERT_EQ(mkfifo((dir / "b.txt").c_str(), 0600), 0);
        std::vector<std::string> arguments = c.options;
        arguments.push_back("--verbose");
        arguments.push_back("a.txt");
        const Outcome file = launch(dir.path(), arguments);
        arguments.back() = "b.txt";
        std::thread writer(feed, dir / "b.txt", c.input);
        const Outcome pipe = launch(dir.path(), arguments);
        writer.join();
        EXPECT_EQ(file.status, pipe.status);
        EXPECT_EQ(renamed(file.err, "a.", "b."), pipe.err);
        EXPECT_EQ(read_file(dir / "a.png"), read_file(dir / "b.png"));
    }
}

// Each page of a run is drawn on memory the page before it used: in any order of sizes, a
// file's picture is the one a run of its own makes.
TEST(SizedCanvas, EachFileOfARunGivesThePictureOfItsOwnRun)
{
    std::string many_rows;
    for (int i = 0; i < 40; ++i) many_rows += "row " + std::to_string(i) + "\n";
    const std::vector<std::string> inputs = {
        "hello world\n", std::string(120, 'w') + "\nshort\n", "a\n", many_rows, "", "gjpqy\n\x1b[41mred\x1b[K\x1b[0m\n",
        "\t\tb\nc\n",    "漢字 😀\n",                          std::string(30, 'x') + "\n" + std::string(20, 'y') + "\n",
    };
    const std::vector<std::vector<std::string>> option_sets = {{}, {"--transparent", "--margin=2"}, {"--ansi-input"}};
    for (const auto& options : option_sets) {
        SCOPED_TRACE(options.empty() ? "default" : options.front());
        TempDir together;
        TempDir alone;
        std::vector<std::string> arguments = options;
        for (size_t i = 0; i < inputs.size(); ++i) {
            const std::string name = "f" + std::to_string(i) + ".txt";
            write_file(together / name, inputs[i]);
            write_file(alone / name, inputs[i]);
            arguments.push_back(name);
        }
        ASSERT_EQ(launch(together.path(), arguments).status, 0);
        for (size_t i = 0; i < inputs.size(); ++i) {
            const std::string name = "f" + std::to_string(i);
            std::vector<std::string> one = options;
            one.push_back(name + ".txt");
            ASSERT_EQ(launch(alone.path(), one).status, 0);
            EXPECT_EQ(read_file(together / (name + ".png")), read_file(alone / (name + ".png"))) << name;
        }
    }
}
