#include <algorithm>
#include <string>
#include <vector>

#include "support/messages.hpp"
#include "support/test_support.hpp"

using namespace vedad_test;
namespace fs = std::filesystem;

// Each case starts from a directory with a.txt, b.txt, sub/a.txt, README and the listed extras.
TEST(OutputNaming, NamesEachOutputOfARun)
{
    const struct {
        std::vector<std::string> old_files;  // regular files holding "old"
        std::vector<std::string> directories;
        std::vector<std::string> arguments;
        int status;
        std::string expected_err;
        std::vector<std::string> new_pngs;  // must decode as PNG afterwards
    } cases[] = {
        {{}, {}, {"a.txt", "sub/a.txt"}, 0, "writing a.png\nwriting a2.png\n", {"a.png", "a2.png"}},
        {{}, {}, {"--output=pic", "a.txt", "b.txt", "README"}, 0,
         "writing pic\nwriting pic2.png\nwriting pic3.png\n", {"pic", "pic2.png", "pic3.png"}},
        {{}, {"out.d"}, {"--output=out.d", "README", "sub/a.txt"}, 0,
         "writing out.d/README.png\nwriting out.d/a.png\n", {"out.d/README.png", "out.d/a.png"}},
        {{}, {"out"}, {"--output=out/", "a.txt", "sub/a.txt"}, 0, "writing out/a.png\nwriting out/a2.png\n",
         {"out/a.png", "out/a2.png"}},
        // A trailing '/' names a directory, made with its parents when it is missing.
        {{}, {}, {"--output=new/deeper/", "a.txt", "b.txt"}, 0,
         "writing new/deeper/a.png\nwriting new/deeper/b.png\n", {"new/deeper/a.png", "new/deeper/b.png"}},
        {{}, {}, {"-o", "new/", "a.txt", "sub/a.txt"}, 0, "writing new/a.png\nwriting new/a2.png\n",
         {"new/a.png", "new/a2.png"}},
        // Not before a picture is to be written into it.
        {{}, {}, {"--output=new/", "missing.txt"}, 1, MISSING_INPUT_ERROR, {}},
        {{}, {}, {"--output=README/new/", "a.txt"}, 1, "error: could not make the directory README/new/: Not a directory\n",
         {}},
        {{"a.png"}, {}, {"--verbose", "--no-crop", "a.txt"}, 0,
         "output format: ARGB32 640x480 pixels\nreading a.txt\n" + DEFAULT_FONT_LINE +
         "warning: a.png exists, consider using --overwrite\nwriting a2.png\n",
         {"a2.png"}},
        {{"a.png"}, {}, {"--verbose", "--no-crop", "--overwrite", "a.txt"}, 0,
         "output format: ARGB32 640x480 pixels\nreading a.txt\n" + DEFAULT_FONT_LINE + "writing a.png\n", {"a.png"}},
        // A device is no regular file: used as it is, every time.
        {{}, {}, {"--output=/dev/null", "a.txt", "b.txt"}, 0, "writing /dev/null\nwriting /dev/null\n", {}},
        // A directory in the way of the name takes it like a file does; only --overwrite
        // tries to replace it, and fails.
        {{}, {"a.png"}, {"a.txt"}, 0, "writing a2.png\n", {"a2.png"}},
        {{}, {"a.png"}, {"--overwrite", "a.txt"}, 1, "writing a.png\ncould not open file for writing: Is a directory\n",
         {}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        write_file(dir / "b.txt", "beta\n");
        write_file(dir / "README", "readme\n");
        fs::create_directory(dir / "sub");
        write_file(dir / "sub/a.txt", "sub alpha\n");
        for (const auto& name : c.directories) fs::create_directories(dir / name);
        for (const auto& name : c.old_files) write_file(dir / name, "old");
        const auto before = list_directory(dir.path());

        RunResult result = run_vedad(dir.path(), c.arguments);
        const std::string label = testing::PrintToString(c.arguments);
        EXPECT_EQ(result.status, c.status) << label;
        EXPECT_EQ(result.err, c.expected_err) << label;
        for (const auto& name : c.new_pngs) EXPECT_NE(read_png(dir / name), nullptr) << label << " " << name;
        // Nothing was written besides the expected files.
        std::vector<std::string> expected = before;
        for (const auto& name : c.new_pngs) {
            const std::string top = fs::path(name).begin()->string();
            if (std::find(expected.begin(), expected.end(), top) == expected.end()) expected.push_back(top);
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(list_directory(dir.path()), expected) << label;
    }
}
