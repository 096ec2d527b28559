#include "output/output_path.hpp"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_support.hpp"

using namespace vedad;
namespace fs = std::filesystem;

namespace {

// Runs a test inside a fresh directory, since names without --output= land in the current one.
struct InTempDir {
    vedad_test::TempDir dir;
    fs::path previous = fs::current_path();
    InTempDir() { fs::current_path(dir.path()); }
    ~InTempDir() { fs::current_path(previous); }
};

Options options_with(const char* output, int overwrite = 0, int verbose = 0)
{
    Options options;
    set_default_options(options);
    options.output = output;
    options.overwrite = overwrite;
    options.verbose = verbose;
    return options;
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

TEST(FileKind, TellsDirectoriesAndRegularFilesFollowingLinks)
{
    vedad_test::TempDir dir;
    vedad_test::write_file(dir / "file", "x");
    fs::create_directory(dir / "sub");
    fs::create_symlink(dir / "file", dir / "file-link");
    fs::create_symlink(dir / "sub", dir / "sub-link");
    fs::create_symlink(dir / "gone", dir / "dangling");
    const struct {
        std::string path;
        bool directory;
        bool regular;
    } cases[] = {
        {(dir / "file").string(), false, true},      {(dir / "sub").string(), true, false},
        {(dir / "file-link").string(), false, true}, {(dir / "sub-link").string(), true, false},
        {(dir / "dangling").string(), false, false}, {(dir / "missing").string(), false, false},
        {"/dev/null", false, false},                 {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(is_directory(c.path.c_str()), c.directory) << c.path;
        EXPECT_EQ(is_regular_file(c.path.c_str()), c.regular) << c.path;
    }
}

TEST(MakeOutputPath, ChoosesAndNumbersNames)
{
    const struct {
        std::vector<std::string> files;        // regular files present beforehand
        std::vector<std::string> directories;  // directories present beforehand
        const char* output;
        const char* operand;
        int overwrite;
        int verbose;
        const char* expected;
        const char* expected_err;
    } cases[] = {
        // Into the current directory, under the operand's base name.
        {{}, {}, "", "notes.txt", 0, 0, "notes.png", ""},
        {{}, {"docs"}, "", "docs/notes.txt", 0, 0, "notes.png", ""},
        {{}, {}, "", "-", 0, 0, "stdin.png", ""},
        {{}, {}, "", "README", 0, 0, "README.png", ""},
        {{}, {}, "", "archive.tar.gz", 0, 0, "archive.tar.png", ""},
        {{}, {}, "", ".profile", 0, 0, ".png", ""},
        {{}, {}, "", "some/dir/", 0, 0, ".png", ""},
        // --output= naming a directory.
        {{}, {"out"}, "out", "notes.txt", 0, 0, "out/notes.png", ""},
        {{}, {"out"}, "out/", "a/notes.txt", 0, 0, "out/notes.png", ""},
        {{}, {"out.d"}, "out.d", "README", 0, 0, "out.d/README.png", ""},
        {{}, {"out.d"}, "out.d/", "-", 0, 0, "out.d/stdin.png", ""},
        {{"out/notes.png"}, {"out"}, "out", "notes.txt", 0, 0, "out/notes2.png", ""},
        // --output= naming anything else is used as it is.
        {{}, {}, "picture", "notes.txt", 0, 0, "picture", ""},
        {{}, {}, "pic.jpg", "notes.txt", 0, 0, "pic.jpg", ""},
        {{}, {}, "/dev/null", "notes.txt", 0, 0, "/dev/null", ""},
        {{}, {}, "/dev/null", "notes.txt", 0, 1, "/dev/null", ""},
        // An existing regular file is numbered, always with ".png".
        {{"pic.jpg"}, {}, "pic.jpg", "notes.txt", 0, 0, "pic2.png", ""},
        {{"notes.png"}, {}, "", "notes.txt", 0, 0, "notes2.png", ""},
        {{"notes.png", "notes2.png"}, {}, "", "notes.txt", 0, 0, "notes3.png", ""},
        {{"notes.png", "notes3.png"}, {}, "", "notes.txt", 0, 0, "notes2.png", ""},
        {{"notes.png"}, {"notes2.png"}, "", "notes.txt", 0, 0, "notes2.png", ""},
        {{"notes.png"}, {}, "", "notes.txt", 0, 1, "notes2.png",
         "warning: notes.png exists, consider using --overwrite\n"},
        {{"pic.jpg"}, {}, "pic.jpg", "notes.txt", 0, 1, "pic2.png",
         "warning: pic.jpg exists, consider using --overwrite\n"},
        // --overwrite takes the name as it is, silently.
        {{"notes.png"}, {}, "", "notes.txt", 1, 1, "notes.png", ""},
        // A first choice that exists but is no regular file is not numbered.
        {{}, {"notes.png"}, "", "notes.txt", 0, 1, "notes.png", ""},
    };
    for (const auto& c : cases) {
        InTempDir here;
        for (const auto& name : c.directories) fs::create_directories(name);
        for (const auto& name : c.files) vedad_test::write_file(name, "old");
        const Options options = options_with(c.output, c.overwrite, c.verbose);
        testing::internal::CaptureStderr();
        const std::string path = make_output_path(options, c.operand);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.expected_err) << c.output << " " << c.operand;
        EXPECT_EQ(path, c.expected) << "output \"" << c.output << "\", operand \"" << c.operand << '"';
    }
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
            const std::string path = make_output_path(options, operand.c_str());
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
    testing::internal::CaptureStderr();
    EXPECT_STREQ(make_output_path(options, "notes.txt"), "notes998.png");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "warning: notes.png exists, consider using --overwrite\n");
}
