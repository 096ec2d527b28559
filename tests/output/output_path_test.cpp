#include "output/output_path.hpp"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "output/output_test_support.hpp"
#include "support/test_support.hpp"

using namespace vedad;
using vedad_test::InTempDir;
using vedad_test::options_with;
namespace fs = std::filesystem;

namespace {

std::string mode_name(OutputMode mode)
{
    switch (mode) {
    case OutputMode::claim: return "claim";
    case OutputMode::replace: return "replace";
    case OutputMode::as_is: return "as_is";
    case OutputMode::standard_output: return "standard_output";
    }
    return "?";
}

}  // namespace

TEST(Basename, IsThePartAfterTheLastSlashOfTheSameText)
{
    const struct {
        const char* path;
        size_t offset;
    } cases[] = {{"a/b", 2}, {"/a", 1}, {"abc", 0}, {"dir/", 4}, {"/", 1}, {"", 0}, {"x/y.d/z.txt", 6}};
    for (const auto& c : cases) EXPECT_EQ(vedad::basename(c.path), c.path + c.offset) << '"' << c.path << '"';
}

TEST(StripExtension, CutsAtTheLastDotOfTheLastComponent)
{
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"notes.txt", "notes"},       {"archive.tar.gz", "archive.tar"}, {".profile", ""},
        {"README", "README"},         {"out.d/README", "out.d/README"},   {"dir/.x", "dir/"},
        {"a.b/c.d", "a.b/c"},         {"trailing.", "trailing"},          {"", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        strip_extension(text.data());
        EXPECT_STREQ(text.c_str(), c.expected) << '"' << c.text << '"';
    }
}

TEST(FileKind, TellsDirectoriesFollowingLinksAndEntriesOfAnyKind)
{
    vedad_test::TempDir dir;
    vedad_test::write_file(dir / "file", "x");
    fs::create_directory(dir / "sub");
    fs::create_symlink(dir / "file", dir / "file-link");
    fs::create_symlink(dir / "sub", dir / "sub-link");
    fs::create_symlink(dir / "gone", dir / "dangling");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    const struct {
        std::string path;
        bool directory;
        bool entry;
    } cases[] = {
        {(dir / "file").string(), false, true},      {(dir / "sub").string(), true, true},
        {(dir / "file-link").string(), false, true}, {(dir / "sub-link").string(), true, true},
        {(dir / "dangling").string(), false, true},  {(dir / "fifo").string(), false, true},
        {(dir / "missing").string(), false, false},  {"/dev/null", false, true},
        {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(is_directory(c.path.c_str()), c.directory) << c.path;
        EXPECT_EQ(has_entry(c.path.c_str()), c.entry) << c.path;
    }
}

TEST(MakeOutputPath, ChoosesAndNumbersNames)
{
    const char* const claim = "claim";
    const struct {
        std::vector<std::string> files;        // regular files present beforehand
        std::vector<std::string> directories;  // directories present beforehand
        const char* output;
        const char* operand;
        int overwrite;
        const char* expected;
        const char* mode;
    } cases[] = {
        // Into the current directory, under the operand's base name.
        {{}, {}, "", "notes.txt", 0, "notes.png", claim},
        {{}, {"docs"}, "", "docs/notes.txt", 0, "notes.png", claim},
        {{}, {}, "", "-", 0, "stdin.png", claim},
        {{}, {}, "", "README", 0, "README.png", claim},
        {{}, {}, "", "archive.tar.gz", 0, "archive.tar.png", claim},
        {{}, {}, "", ".profile", 0, ".png", claim},
        {{}, {}, "", "some/dir/", 0, ".png", claim},
        // --output= naming a directory.
        {{}, {"out"}, "out", "notes.txt", 0, "out/notes.png", claim},
        {{}, {"out"}, "out/", "a/notes.txt", 0, "out/notes.png", claim},
        {{}, {"out.d"}, "out.d", "README", 0, "out.d/README.png", claim},
        {{}, {"out.d"}, "out.d/", "-", 0, "out.d/stdin.png", claim},
        {{"out/notes.png"}, {"out"}, "out", "notes.txt", 0, "out/notes2.png", claim},
        // Ending in '/', it names a directory, even one still to be made.
        {{}, {}, "new/deeper/", "a/notes.txt", 0, "new/deeper/notes.png", claim},
        {{}, {}, "new.d/", "README", 0, "new.d/README.png", claim},
        // --output= naming anything else is used as it is.
        {{}, {}, "picture", "notes.txt", 0, "picture", claim},
        {{}, {}, "pic.jpg", "notes.txt", 0, "pic.jpg", claim},
        // A device is written as it is, never numbered, never replaced.
        {{}, {}, "/dev/null", "notes.txt", 0, "/dev/null", "as_is"},
        {{}, {}, "/dev/null", "notes.txt", 1, "/dev/null", "as_is"},
        // An existing regular file is numbered, always with ".png".
        {{"pic.jpg"}, {}, "pic.jpg", "notes.txt", 0, "pic2.png", claim},
        {{"notes.png"}, {}, "", "notes.txt", 0, "notes2.png", claim},
        {{"notes.png", "notes2.png"}, {}, "", "notes.txt", 0, "notes3.png", claim},
        {{"notes.png", "notes3.png"}, {}, "", "notes.txt", 0, "notes2.png", claim},
        // So is any other entry: a directory in the way is numbered around.
        {{}, {"notes.png"}, "", "notes.txt", 0, "notes2.png", claim},
        {{"notes.png"}, {"notes2.png"}, "", "notes.txt", 0, "notes3.png", claim},
        // --overwrite takes the name as it is.
        {{"notes.png"}, {}, "", "notes.txt", 1, "notes.png", "replace"},
        {{}, {}, "", "notes.txt", 1, "notes.png", "replace"},
        {{"pic.jpg"}, {}, "pic.jpg", "notes.txt", 1, "pic.jpg", "replace"},
    };
    for (const auto& c : cases) {
        InTempDir here;
        for (const auto& name : c.directories) fs::create_directories(name);
        for (const auto& name : c.files) vedad_test::write_file(name, "old");
        const Options options = options_with(c.output, c.overwrite, 1);
        testing::internal::CaptureStderr();
        const OutputPath output = make_output_path(options, c.operand);
        // Naming prints nothing: the warning comes with the "writing" line.
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        const std::string label = std::string("output \"") + c.output + "\", operand \"" + c.operand + '"';
        EXPECT_EQ(output.path, c.expected) << label;
        EXPECT_EQ(mode_name(output.mode), c.mode) << label;
        EXPECT_EQ(output.number > 1, output.path != output.first) << label;
    }
}

// A directory that --output= names with a trailing '/' is made with its parents, and only such
// a one; one that cannot be made ends the run.
TEST(MakeOutputDirectory, MakesAMissingDirectoryThatEndsInASlash)
{
    const struct {
        const char* output;
        std::vector<std::string> directories;  // afterwards
    } cases[] = {
        {"new/deeper/", {"new", "new/deeper"}},
        {"new/", {"new"}},
        {"new", {}},
        {"", {}},
        {"/", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        InTempDir here;
        make_output_directory(options_with(c.output, 0, 0));
        std::vector<std::string> made;
        for (const auto& entry : fs::recursive_directory_iterator("."))
            if (entry.is_directory()) made.push_back(entry.path().lexically_relative(".").string());
        std::sort(made.begin(), made.end());
        EXPECT_EQ(made, c.directories);
    }
}

TEST(MakeOutputDirectoryDeathTest, EndsTheRunWhenAFileIsInTheWay)
{
    InTempDir here;
    vedad_test::write_file("file", "old");
    EXPECT_EXIT(make_output_directory(options_with("file/new/", 0, 0)), testing::ExitedWithCode(1),
                "^error: could not make the directory file/new/: Not a directory\n$");
}

// Entries that are not regular files take a default name like files do; links are never
// followed to decide.
TEST(MakeOutputPath, NumbersAroundEntriesOfEveryKind)
{
    InTempDir here;
    vedad_test::write_file("elsewhere", "x");
    fs::create_symlink("/nonexistent/target", "a.png");
    fs::create_symlink("elsewhere", "a2.png");
    ASSERT_EQ(mkfifo("a3.png", 0600), 0);
    fs::create_symlink("/dev/null", "a4.png");
    fs::create_symlink("a5.png", "a5.png");  // a loop
    const Options options = options_with("");
    const OutputPath output = make_output_path(options, "a.txt");
    EXPECT_EQ(output.path, "a6.png");
    EXPECT_EQ(output.first, "a.png");
    EXPECT_EQ(output.number, 6);
}

// A link named by --output= that leads to the file standard output is open on is written
// through standard output; any other link is a name like any other.
TEST(MakeOutputPath, WritesALinkToStandardOutputThroughIt)
{
    InTempDir here;
    vedad_test::write_file("out.png", "");
    const int saved = dup(STDOUT_FILENO);
    const int out = open("out.png", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(out, 0);
    ASSERT_EQ(dup2(out, STDOUT_FILENO), STDOUT_FILENO);
    close(out);
    fs::create_symlink("out.png", "link.png");
    const OutputPath through_link = make_output_path(options_with("link.png"), "a.txt");
    const OutputPath through_dev = make_output_path(options_with("/dev/stdout"), "a.txt");
    const OutputPath by_name = make_output_path(options_with("out.png"), "a.txt");
    dup2(saved, STDOUT_FILENO);
    close(saved);
    EXPECT_EQ(mode_name(through_link.mode), "standard_output");
    EXPECT_EQ(mode_name(through_dev.mode), "standard_output");
    EXPECT_EQ(through_dev.path, "/dev/stdout");
    EXPECT_EQ(mode_name(by_name.mode), "claim");
    EXPECT_EQ(by_name.path, "out2.png");
}

TEST(TakeNextNumber, SkipsNamesTakenSinceAndKeepsTheFirstChoice)
{
    InTempDir here;
    const Options options = options_with("");
    OutputPath output = make_output_path(options, "notes.txt");
    ASSERT_EQ(output.path, "notes.png");
    vedad_test::write_file("notes.png", "another run's");
    vedad_test::write_file("notes2.png", "another run's");
    take_next_number(output);
    EXPECT_EQ(output.path, "notes3.png");
    EXPECT_EQ(output.number, 3);
    EXPECT_EQ(output.first, "notes.png");
    // Never back to a lower number, even when it has become free.
    fs::remove("notes2.png");
    take_next_number(output);
    EXPECT_EQ(output.path, "notes4.png");
}

TEST(MakeOutputPathDeathTest, RefusesOperandAndOutputLongerThan5112Together)
{
    const struct {
        size_t operand_length;
        size_t output_length;
        bool passes;
    } cases[] = {{1, 5111, true}, {1, 5112, false}, {5112, 0, true}, {5113, 0, false}, {2556, 2556, true}, {2556, 2557, false}};
    for (const auto& c : cases) {
        // Only the length of "-" counts, not the "stdin" it stands for.
        const std::string operand = c.operand_length == 1 ? "-" : std::string(c.operand_length, 'i');
        const std::string output = c.output_length == 0 ? "" : "/nonexistent/" + std::string(c.output_length - 13, 'o');
        const Options options = options_with(output.c_str());
        if (c.passes) {
            const std::string path = make_output_path(options, operand.c_str()).path;
            EXPECT_EQ(path, c.output_length == 0 ? operand + ".png" : output);
        } else {
            EXPECT_EXIT(make_output_path(options, operand.c_str()), testing::ExitedWithCode(1),
                        "^error: not enough  memory for output filename\n$");
        }
    }
}

TEST(MakeOutputPathDeathTest, GivesUpWhenNumbers2To998AreAllTaken)
{
    // The dying child must see this test's directory, not make one of its own.
    GTEST_FLAG_SET(death_test_style, "fast");
    InTempDir here;
    vedad_test::write_file("notes.png", "old");
    for (int n = 2; n <= 998; ++n) vedad_test::write_file("notes" + std::to_string(n) + ".png", "old");
    const Options options = options_with("", 0, 1);
    EXPECT_EXIT(make_output_path(options, "notes.txt"), testing::ExitedWithCode(1),
                "^error: you already have about 999 files already with that output name, try using --overwrite\n$");

    fs::remove("notes998.png");
    EXPECT_EQ(make_output_path(options, "notes.txt").path, "notes998.png");
}
