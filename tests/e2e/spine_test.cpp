#include <string>
#include <sys/resource.h>
#include <vector>

#include "support/launch.hpp"
#include "support/messages.hpp"
#include "support/test_support.hpp"

using namespace vedad_test;
namespace fs = std::filesystem;

namespace {

// Runs the binary in `directory` under a lowered resource limit. The program ignores SIGXFSZ
// itself, so exceeding the file size limit shows up as a write error.
RunResult run_vedad_limited(const fs::path& directory, const std::vector<std::string>& arguments, int resource,
                            rlim_t limit)
{
    Launch how;
    how.limits = {{resource, limit}};
    return launch(directory, arguments, how);
}

}  // namespace

TEST(Spine, AnnouncesFormatOnceThenReadsAndWritesEachFileInOrder)
{
    TempDir dir;
    write_file(dir / "a.txt", "first\n");
    write_file(dir / "b.txt", "second\n");
    // Options after an operand apply to it as well.
    RunResult result = run_vedad(dir.path(), {"a.txt", "--verbose", "--width=800", "--height=200", "--no-crop", "b.txt"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err,
              "output format: ARGB32 800x200 pixels\n"
              "reading a.txt\n" + DEFAULT_FONT_LINE + "writing a.png\n"
              "reading b.txt\nwriting b.png\n");
    for (const char* name : {"a.png", "b.png"}) {
        Image image = read_png(dir / name);
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(gdImageSX(image.get()), 800) << name;
        EXPECT_EQ(gdImageSY(image.get()), 200) << name;
    }
}

TEST(Spine, DashReadsStandardInputIntoStdinPng)
{
    TempDir dir;
    RunResult result = run_vedad(dir.path(), {"--verbose", "--no-crop", "-"}, "from the pipe\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "output format: ARGB32 640x480 pixels\nreading standard input\n" + DEFAULT_FONT_LINE + "writing stdin.png\n");
    Image image = read_png(dir / "stdin.png");
    ASSERT_NE(image, nullptr);
    // Text was drawn: some pixel of the first row of text is not the black background.
    bool drawn = false;
    for (int y = 0; y < 20 && !drawn; ++y)
        for (int x = 0; x < 100 && !drawn; ++x) drawn = pixel(image, x, y) != rgb(0, 0, 0);
    EXPECT_TRUE(drawn);
}

TEST(Spine, InputAndOutputFailuresEndTheRunAtThatFile)
{
    const struct {
        std::vector<std::string> arguments;
        std::string expected_err;
        std::vector<std::string> expected_files;  // the directory afterwards; a.txt is always there
    } cases[] = {
        {{"missing.txt"}, MISSING_INPUT_ERROR, {"a.txt"}},
        {{""}, MISSING_INPUT_ERROR, {"a.txt"}},
        {{"--verbose", "missing.txt"},
         "output format: ARGB32 640x480 pixels\nreading missing.txt\n" + MISSING_INPUT_ERROR,
         {"a.txt"}},
        // Files already written stay; later operands are not looked at.
        {{"a.txt", "missing.txt"}, "writing a.png\n" + MISSING_INPUT_ERROR,
         {"a.png", "a.txt"}},
        {{"missing.txt", "a.txt"}, MISSING_INPUT_ERROR, {"a.txt"}},
        // A directory opens but cannot be read: no picture of nothing is passed off as its page.
        {{"."}, "error: could not read .: Is a directory\n", {"a.txt"}},
        {{"--output=nodir/x.png", "a.txt"},
         "writing nodir/x.png\ncould not open file for writing: No such file or directory\n",
         {"a.txt"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_file(dir / "a.txt", "text\n");
        RunResult result = run_vedad(dir.path(), c.arguments);
        const std::string label = testing::PrintToString(c.arguments);
        EXPECT_EQ(result.status, 1) << label;
        EXPECT_EQ(result.err, c.expected_err) << label;
        EXPECT_EQ(list_directory(dir.path()), c.expected_files) << label;
    }
}

TEST(Spine, ImageTooLargeForLibgdIsAnErrorNotACrash)
{
    TempDir dir;
    write_file(dir / "a.txt", "text\n");
    RunResult result = run_vedad(dir.path(), {"--width=100000", "--height=100000", "a.txt"});
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.status, 1);
    // The program's own words alone: libgd's warning is not passed on.
    EXPECT_EQ(result.err, "error: could not create an image of 100000x100000 pixels\n");
    EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
}

TEST(Spine, FullDeviceAsOutputIsAWriteError)
{
    TempDir dir;
    write_file(dir / "a.txt", "text\n");
    RunResult result = run_vedad(dir.path(), {"--output=/dev/full", "a.txt"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "writing /dev/full\nerror: could not write /dev/full: No space left on device\n");
}

TEST(Spine, FailedWriteLeavesNoPartFileItCreated)
{
    // A full-size page is about a kilobyte of PNG; 200 bytes cut it short.
    constexpr rlim_t limit = 200;
    {
        TempDir dir;
        write_file(dir / "a.txt", "text\n");
        RunResult result = run_vedad_limited(dir.path(), {"--no-crop", "a.txt"}, RLIMIT_FSIZE, limit);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "writing a.png\nerror: could not write a.png: File too large\n");
        EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
    }
    {
        // A file the user asked to replace is the user's: it is not removed.
        TempDir dir;
        write_file(dir / "a.txt", "text\n");
        write_file(dir / "a.png", "old");
        RunResult result = run_vedad_limited(dir.path(), {"--no-crop", "--overwrite", "a.txt"}, RLIMIT_FSIZE, limit);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "writing a.png\nerror: could not write a.png: File too large\n");
        EXPECT_TRUE(fs::exists(dir / "a.png"));
    }
}

TEST(Spine, ManyOperandsDoNotExhaustOpenFiles)
{
    constexpr int count = 150;
    TempDir dir;
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        const std::string name = std::string("f").append(std::to_string(i)).append(".txt");
        write_file(dir / name, "line\n");
        arguments.push_back(name);
    }
    RunResult result = run_vedad_limited(dir.path(), arguments, RLIMIT_NOFILE, 32);
    EXPECT_EQ(result.status, 0) << result.err.substr(result.err.size() > 300 ? result.err.size() - 300 : 0);
    EXPECT_TRUE(fs::exists(dir / (std::string("f") + std::to_string(count - 1) + ".png")));
}
