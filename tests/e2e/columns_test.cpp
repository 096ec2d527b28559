// --columns: every reader wraps its rows as a terminal of that width, so a wrapped page draws
// what the same rows broken by hand draw.

#include <string>
#include <vector>

#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

Image picture_of(const std::vector<std::string>& options, const std::string& input)
{
    TempDir dir;
    std::vector<std::string> arguments = options;
    arguments.insert(arguments.end(), {"--output=out.png", "-"});
    const RunResult result = run_vedad(dir.path(), arguments, input);
    EXPECT_EQ(result.status, 0) << result.err;
    return read_png(dir / "out.png");
}

const std::string WIDE = "\xe6\xbc\xa2";  // a character terminals show in two columns

}  // namespace

TEST(Columns, EveryReaderWrapsAsATerminalOfThatWidth)
{
    const struct {
        const char* name;
        std::vector<std::string> rows;     // as written
        std::vector<std::string> wrapped;  // as a terminal four columns wide shows them
    } cases[] = {
        {"a long row", {"abcdefghij", "x"}, {"abcd", "efgh", "ij", "x"}},
        {"exactly the width: no empty row", {"abcd", "x"}, {"abcd", "x"}},
        {"a wide character at the last column moves on", {"abc" + WIDE + "d"}, {"abc", WIDE + "d"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text;
        std::string wrapped_text;
        for (const std::string& row : c.rows) text += row + "\n";
        for (const std::string& row : c.wrapped) wrapped_text += row + "\n";
        EXPECT_EQ(compare_images(picture_of({"--columns=4"}, text), picture_of({}, wrapped_text)), "");
        EXPECT_EQ(compare_images(picture_of({"--html-input", "--fixed", "--columns=4"}, span_page(c.rows)),
                                 picture_of({"--html-input", "--fixed"}, span_page(c.wrapped))),
                  "");
        std::string terminal = text;
        std::string terminal_wrapped;
        for (const std::string& row : c.wrapped) terminal_wrapped += row + "\r\n";
        EXPECT_EQ(compare_images(picture_of({"--ansi-input", "--columns=4"}, terminal),
                                 picture_of({"--ansi-input"}, terminal_wrapped)),
                  "");
    }
}

TEST(Columns, ACarriageReturnAtThePendingWrapStaysOnTheRow)
{
    EXPECT_EQ(compare_images(picture_of({"--ansi-input", "--columns=4"}, "abcd\rX\n"),
                             picture_of({"--ansi-input"}, "Xbcd\n")),
              "");
}

TEST(Columns, AreAWholeNumberFromOne)
{
    TempDir dir;
    for (const std::string value : {"0", "-1", "4x", ""}) {
        const RunResult result = run_vedad(dir.path(), {"--columns=" + value, "-"}, "x\n");
        EXPECT_EQ(result.status, 1) << value;
        EXPECT_EQ(result.err, "error: --columns= expects a whole number of cells from 1, as in --columns=80\n") << value;
    }
}
