// fontconfig's answers are kept between runs, and a font installed or removed afterwards is
// seen at once.

#include <filesystem>
#include <string>

#include "support/test_support.hpp"

using namespace vedad_test;
namespace fs = std::filesystem;

namespace {

// The face --verbose names as the fallback font, or "".
std::string fallback_face(const std::string& err)
{
    const std::string label = "fallback font: ";
    const size_t at = err.find(label);
    return at == std::string::npos ? "" : err.substr(at + label.size(), err.find('\n', at) - at - label.size());
}

}  // namespace

TEST(FontAnswers, AFontInstalledOrRemovedAfterTheAnswersWereKeptIsSeen)
{
    TempDir dir;
    fs::create_directory(dir / "fonts");
    write_file(dir / "fonts.conf", "<?xml version=\"1.0\"?>\n<fontconfig>\n  <dir>" + (dir / "fonts").string() +
                                       "</dir>\n  <cachedir>" + (dir / "fontconfig-cache").string() +
                                       "</cachedir>\n</fontconfig>\n");
    write_file(dir / "a.txt", "x \xe2\x9c\x94\n");  // a check mark, which FreeMono lacks
    Launch how;
    how.environment = {{"FONTCONFIG_FILE", (dir / "fonts.conf").string()}, {"XDG_CACHE_HOME", (dir / "cache").string()}};
    const std::vector<std::string> arguments = {"--verbose", "--font=" VEDAD_TEST_FONT_DIR "/Courier.ttf", "--overwrite",
                                                "a.txt"};
    const fs::path installed = dir / "fonts" / "DejaVuSans.ttf";

    const Outcome none = launch(dir.path(), arguments, how);
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_EQ(fallback_face(none.err), "");
    EXPECT_TRUE(fs::exists(dir / "cache/vedad/fontconfig-answers"));
    const std::string without = read_file(dir / "a.png");

    fs::copy_file(fs::canonical(VEDAD_TEST_FONT_DIR "/DejaVuSans.ttf"), installed);
    for (int run = 0; run < 2; ++run) {  // asked afresh, then answered from what was kept
        const Outcome found = launch(dir.path(), arguments, how);
        ASSERT_EQ(found.status, 0) << found.err;
        EXPECT_EQ(fallback_face(found.err), installed.string());
        EXPECT_NE(read_file(dir / "a.png"), without);
    }

    fs::remove(installed);
    const Outcome removed = launch(dir.path(), arguments, how);
    ASSERT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(fallback_face(removed.err), "");
    EXPECT_EQ(read_file(dir / "a.png"), without);
}
