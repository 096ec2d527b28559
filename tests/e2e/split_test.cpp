// --split=ROWS: an input of more rows becomes a picture of each ROWS rows, each the picture
// a file of just those rows gives.

#include <algorithm>
#include <string>
#include <vector>

#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

std::string rows_text(int first, int last)
{
    std::string text;
    for (int row = first; row <= last; ++row) text += "row " + std::to_string(row) + " gjpqy\n";
    return text;
}

// The picture a file of `text` alone gives with `options`.
std::string picture_of(const std::vector<std::string>& options, const std::string& text)
{
    TempDir dir;
    write_file(dir / "p.txt", text);
    std::vector<std::string> arguments = options;
    arguments.push_back("p.txt");
    const Outcome outcome = launch(dir.path(), arguments);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    return read_file(dir / "p.png");
}

// `text` cut after its `rows`-th <br/> and the line feed after it.
std::vector<std::string> cut_after_breaks(const std::string& text, int rows)
{
    size_t at = 0;
    for (int row = 0; row < rows; ++row) at = text.find("<br/>", at) + 5;
    if (text[at] == '\n') ++at;
    return {text.substr(0, at), text.substr(at)};
}

}  // namespace

TEST(Split, EachPageIsThePictureOfItsRows)
{
    const struct {
        std::vector<std::string> options;
        std::string input;
        std::vector<std::string> pages;
    } cases[] = {
        {{}, rows_text(1, 7), {rows_text(1, 3), rows_text(4, 6), rows_text(7, 7)}},
        {{"--fit", "--margin=2"}, rows_text(1, 7), {rows_text(1, 3), rows_text(4, 6), rows_text(7, 7)}},
        // Exactly two pages: no third, empty one.
        {{}, rows_text(1, 6), {rows_text(1, 3), rows_text(4, 6)}},
        {{}, "", {""}},
        // Terminal output keeps its colours and character set from page to page.
        {{"--ansi-input"}, "\x1b[1;31ma\nb\nc\nd\x1b[42m\x1b(0lqk\n\x1b(Be\x1b[0m\nf\n",
         {"\x1b[1;31ma\nb\nc\n", "\x1b[1;31md\x1b[42m\x1b(0lqk\n\x1b(Be\x1b[0m\nf\n"}},
        // Span rows end at their <br/>.
        {{"--html-input", "--fixed"}, span_page({"ab", "cd", "ef", "gh"}),
         cut_after_breaks(span_page({"ab", "cd", "ef", "gh"}), 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        TempDir dir;
        write_file(dir / "log.txt", c.input);
        std::vector<std::string> arguments = c.options;
        arguments.push_back("--split=3");
        arguments.push_back("log.txt");
        const Outcome outcome = launch(dir.path(), arguments);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        std::vector<std::string> expected_files{"log.png", "log.txt"};
        std::string expected_err = "writing log.png\n";
        for (size_t page = 2; page <= c.pages.size(); ++page) {
            expected_files.push_back("log-" + std::to_string(page) + ".png");
            expected_err += "writing log-" + std::to_string(page) + ".png\n";
        }
        std::sort(expected_files.begin(), expected_files.end());
        EXPECT_EQ(list_directory(dir.path()), expected_files);
        EXPECT_EQ(outcome.err, expected_err);
        for (size_t page = 1; page <= c.pages.size(); ++page) {
            SCOPED_TRACE(page);
            const std::string name = page == 1 ? "log.png" : "log-" + std::to_string(page) + ".png";
            EXPECT_EQ(read_file(dir / name), picture_of(c.options, c.pages[page - 1]));
        }
    }
}

TEST(Split, PagesAreNamedLikeAnyPicture)
{
    TempDir dir;
    write_file(dir / "a.txt", rows_text(1, 2));
    write_file(dir / "a-2.png", "kept");
    // Standard input, an --output= name and a name already taken.
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        std::string err;
    } cases[] = {
        {{"--split=1", "a.txt"}, "", "writing a.png\nwriting a-22.png\n"},
        {{"--split=1", "--output=out.png", "a.txt"}, "", "writing out.png\nwriting out-2.png\n"},
        {{"--split", "1", "-"}, rows_text(1, 2), "writing stdin.png\nwriting stdin-2.png\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        const Outcome outcome = launch(dir.path(), c.arguments, Launch{.input = c.input});
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.err, c.err);
    }
    EXPECT_EQ(read_file(dir / "a-2.png"), "kept");

    const Outcome to_standard_output = launch(dir.path(), {"--split=1", "--output=-", "a.txt"});
    EXPECT_EQ(to_standard_output.status, 1);
    EXPECT_EQ(to_standard_output.err, "error: --output=- writes one picture, and --split= may make several\n");
    const Outcome zero = launch(dir.path(), {"--split=0", "a.txt"});
    EXPECT_EQ(zero.status, 1);
    EXPECT_EQ(zero.err, "error: --split= expects a whole number of rows from 1, as in --split=100\n");
}
