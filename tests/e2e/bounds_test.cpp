// What a run may cost, whatever its input asks for: the copy --fit keeps of a pipe, the work an
// erase of the display takes, the face of a collection, and one file written by two runs at once.

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.hpp"

using namespace vedad_test;
namespace fs = std::filesystem;

namespace {


// Runs a shell command in `directory`, its standard error into `err`; the exit status.
int shell(const fs::path& directory, const std::string& command, std::string& err)
{
    const std::string line = "cd '" + directory.string() + "' && { " + command + " ; } 2>err.txt";
    const int status = std::system(line.c_str());
    err = read_file(directory / "err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// --fit keeps a copy of a pipe to read it twice: of plain text, only the rows that can show. A
// 200 MB pipe fits a 32 MB TMPDIR, and the rows it leaves out are still counted.
TEST(Bounds, FitKeepsOfAPipeOnlyTheRowsThatCanShow)
{
    TempDir dir;
    const Tmpfs tmp(dir.path(), "size=32m");
    const fs::path tmp_dir = tmp.point.filename();
    if (!tmp.mounted) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    std::string err;
    const int status = shell(dir.path(), "yes | head -c 200000000 | TMPDIR=" + tmp_dir.string() + " '" VEDAD_BINARY "' --fit -", err);
    EXPECT_EQ(status, 0) << err;
    EXPECT_NE(err.find("warning: text cut at the bottom ("), std::string::npos) << err;
    const Image picture = read_png(dir / "stdin.png");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(gdImageSY(picture.get()), 32767);
    // A TMPDIR that takes nothing: the run says so, and makes no picture.
    fs::remove(dir / "stdin.png");
    EXPECT_EQ(shell(dir.path(), "echo x | TMPDIR=/nonexistent '" VEDAD_BINARY "' --fit -", err), 1);
    EXPECT_NE(err.find("error: could not keep a copy of standard input in /nonexistent: "), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir / "stdin.png"));
}

// Erasing the whole display touches no kept row: four megabytes of erases after thousands of
// rows end in the picture of one erase, well inside a CPU limit that a walk over every row per
// erase would pass many times over.
TEST(Bounds, ErasingTheDisplayCostsNothingPerRow)
{
    TempDir dir;
    std::string rows;
    for (int i = 0; i < 3000; ++i) rows += "x\n";
    std::string erases;
    for (int i = 0; i < (4 << 20) / 4; ++i) erases += "\x1b[2J";
    write_file(dir / "many.txt", rows + erases);
    write_file(dir / "one.txt", rows + "\x1b[2J");
    Launch how;
    how.limits = {{RLIMIT_CPU, UNDER_ASAN ? 60 : 10}};
    const Outcome many = launch(dir.path(), {"--ansi-input", "--fit", "many.txt"}, how);
    ASSERT_EQ(many.status, 0) << many.err;
    ASSERT_EQ(launch(dir.path(), {"--ansi-input", "--fit", "one.txt"}).status, 0);
    EXPECT_EQ(compare_images(read_png(dir / "many.png"), read_png(dir / "one.png")), "");
}

// A collection's face is the one asked for: face 1 of WenQuanYi Zen Hei is its monospaced face,
// whose letters all take one advance, unlike face 0's.
TEST(Bounds, TheFaceOfACollectionIsTheOneAskedFor)
{
    const std::string collection = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";
    if (!fs::exists(collection)) GTEST_SKIP() << "no collection to draw from";
    TempDir dir;
    write_file(dir / "narrow.txt", "iiii\n");
    write_file(dir / "wide.txt", "WWWW\n");
    auto width = [&](const std::string& font, const char* input) {
        const Outcome outcome = launch(dir.path(), {"--font=" + font, "--overwrite", "--output=out.png", input});
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        const Image picture = read_png(dir / "out.png");
        return picture == nullptr ? -1 : gdImageSX(picture.get());
    };
    EXPECT_LT(width(collection + ":0", "narrow.txt"), width(collection + ":0", "wide.txt"));
    EXPECT_EQ(width(collection + ":1", "narrow.txt"), width(collection + ":1", "wide.txt"));
    const Outcome verbose = launch(dir.path(), {"--verbose", "--font=" + collection + ":1", "--overwrite", "narrow.txt"});
    EXPECT_NE(verbose.err.find("font: " + collection + ", face 1\n"), std::string::npos) << verbose.err;
}

// A picture with another hard link is written in place. Two runs that replace it at once, their
// writes slowed to a crawl, write one after the other: the file ends as one whole picture.
TEST(Bounds, TwoRunsWritingOnePictureInPlaceNeverInterleave)
{
    if (UNDER_ASAN) GTEST_SKIP() << "the address sanitizer must be loaded before any other library";
    TempDir dir;
    std::string first;
    std::string second;
    for (int row = 0; row < 30; ++row) {
        first += std::string(60, static_cast<char>('a' + row % 26)) + "\n";
        second += std::string(60, static_cast<char>('A' + row % 26)) + "\n";
    }
    write_file(dir / "first.txt", first);
    write_file(dir / "second.txt", second);
    ASSERT_EQ(launch(dir.path(), {"--output=first.png", "first.txt"}).status, 0);
    ASSERT_EQ(launch(dir.path(), {"--output=second.png", "second.txt"}).status, 0);
    const std::string pictures[] = {read_file(dir / "first.png"), read_file(dir / "second.png")};
    Launch slow;
    slow.environment = {{"LD_PRELOAD", VEDAD_SLOW_WRITES}};
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        write_file(dir / "shared.png", "an older picture");
        fs::remove(dir / "link.png");
        fs::create_hard_link(dir / "shared.png", dir / "link.png");
        Started a = start(dir.path(), {"--overwrite", "--output=shared.png", "first.txt"}, slow);
        Started b = start(dir.path(), {"--overwrite", "--output=shared.png", "second.txt"}, slow);
        const Outcome first_run = finish(a);
        const Outcome second_run = finish(b);
        EXPECT_EQ(first_run.status, 0) << first_run.err;
        EXPECT_EQ(second_run.status, 0) << second_run.err;
        const std::string shared = read_file(dir / "shared.png");
        EXPECT_TRUE(shared == pictures[0] || shared == pictures[1]) << shared.size() << " bytes";
        EXPECT_EQ(read_file(dir / "link.png"), shared);
    }
}

// A few bytes cannot ask for gigabytes: a picture sized by --fit holds at most --max-pixels
// pixels, margin included, rows cut first. Thirteen bytes of terminal output that move the
// cursor far down and right give a picture within the budget, in an address space of 1 GB.
TEST(Bounds, APictureSizedByTheInputKeepsToThePixelBudget)
{
    TempDir dir;
    Launch how;
    how.input = "\x1b[2600;4000Hx";
    if (!UNDER_ASAN) how.limits = {{RLIMIT_AS, rlim_t{1000000} << 10}};
    const Outcome far = launch(dir.path(), {"--ansi-input", "--fit", "-"}, how);
    ASSERT_EQ(far.status, 0) << far.err;
    EXPECT_NE(far.err.find("warning: text cut at the bottom ("), std::string::npos) << far.err;
    const Image picture = read_png(dir / "stdin.png");
    ASSERT_NE(picture, nullptr);
    EXPECT_LE(int64_t{gdImageSX(picture.get())} * gdImageSY(picture.get()), 100'000'000);
    EXPECT_GT(int64_t{gdImageSX(picture.get())} * gdImageSY(picture.get()), 90'000'000);

    std::string text;
    for (int row = 0; row < 100; ++row) text += std::string(60, 'x') + "\n";
    write_file(dir / "page.txt", text);
    const struct {
        std::vector<std::string> options;
        int64_t most_pixels;  // of the picture, margin included
    } cases[] = {
        {{"--fit", "--max-pixels=20000"}, 20000},
        {{"--fit", "--max-pixels=20000", "--margin=10"}, 20000},
        {{"--size=400x300", "--no-crop", "--max-pixels=20000"}, 20000},
        {{"--size=400x300", "--no-crop"}, 400 * 300},  // a given canvas is made as asked
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.options));
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"--overwrite", "page.txt"});
        const Outcome outcome = launch(dir.path(), arguments);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        const Image page = read_png(dir / "page.png");
        ASSERT_NE(page, nullptr);
        const int64_t pixels = int64_t{gdImageSX(page.get())} * gdImageSY(page.get());
        EXPECT_LE(pixels, c.most_pixels);
        EXPECT_GT(pixels, c.most_pixels / 2);
    }
    const Outcome margin = launch(dir.path(), {"--fit", "--max-pixels=20000", "--margin=100", "page.txt"});
    EXPECT_EQ(margin.status, 1);
    EXPECT_EQ(margin.err,
              "error: a margin of 100 pixels makes a picture of more than 20000 pixels; --max-pixels= allows more\n");
}

// The numbers of --margin, --scale, --max-pixels and --columns are whole numbers in range, and
// nothing else.
TEST(Bounds, NewerNumbersAreWholeNumbersInRange)
{
    TempDir dir;
    write_file(dir / "a.txt", "a\n");
    const struct {
        std::string argument;
        std::string error;
    } cases[] = {
        {"--margin=1e1", "error: --margin= expects a number of pixels from 0, as in --margin=8\n"},
        {"--margin=8px", "error: --margin= expects a number of pixels from 0, as in --margin=8\n"},
        {"--scale=2.5", "error: --scale= expects a whole number from 1 to 8, as in --scale=2\n"},
        {"--scale=2abc", "error: --scale= expects a whole number from 1 to 8, as in --scale=2\n"},
        {"--max-pixels=0", "error: --max-pixels= expects a number of pixels from 1, as in --max-pixels=50000000\n"},
        {"--max-pixels=1e8", "error: --max-pixels= expects a number of pixels from 1, as in --max-pixels=50000000\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = launch(dir.path(), {c.argument, "a.txt"});
        EXPECT_EQ(outcome.status, 1) << c.argument;
        EXPECT_EQ(outcome.err, c.error);
        EXPECT_FALSE(fs::exists(dir / "a.png")) << c.argument;
    }
}

// A picture for standard output that is closed goes nowhere: the run says so.
TEST(Bounds, ClosedStandardOutputIsAnError)
{
    TempDir dir;
    write_file(dir / "a.txt", "a\n");
    for (const std::string output : {"--output=-", "--output=/dev/stdout"}) {
        Launch how;
        how.closed = {STDOUT_FILENO};
        const Outcome outcome = launch(dir.path(), {output, "a.txt"}, how);
        EXPECT_EQ(outcome.status, 1) << output;
        EXPECT_EQ(outcome.err, "error: standard output is closed\n") << output;
    }
    EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
}

// A name that holds no family names no font, where fontconfig would take any.
TEST(Bounds, AFontNameWithNoFamilyNamesNoFont)
{
    TempDir dir;
    write_file(dir / "a.txt", "a\n");
    for (const std::string name : {"-", ":", "\\", ":style=Bold"}) {
        const Outcome outcome = launch(dir.path(), {"--font=" + name, "a.txt"});
        EXPECT_EQ(outcome.status, 1) << name;
        EXPECT_TRUE(outcome.err.starts_with("error: while getting metrics for font '" + name +
                                            "': Could not find/open font\n"))
            << outcome.err;
    }
    const Outcome family = launch(dir.path(), {"--font=DejaVu Sans Mono:style=Bold", "--overwrite", "a.txt"});
    EXPECT_EQ(family.status, 0) << family.err;
}

// Files that are no regular files never reach FreeType or fontconfig: a FIFO in a font folder
// is passed over, and a configuration that is a FIFO or a device is refused at once.
TEST(Bounds, FontconfigIsKeptFromFilesThatAreNotFiles)
{
    TempDir dir;
    fs::create_directory(dir / "fonts");
    ASSERT_EQ(mkfifo((dir / "fonts" / "bad.ttf").c_str(), 0600), 0);
    fs::create_symlink(fs::path(VEDAD_TEST_FONT_DIR) / "DejaVuSansMono.ttf", dir / "fonts" / "good.ttf");
    write_file(dir / "fonts.conf", "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                                   "<fontconfig><dir>" + (dir / "fonts").string() + "</dir><cachedir>" +
                                       (dir / "cache").string() + "</cachedir></fontconfig>\n");
    write_file(dir / "a.txt", "a\xe2\x9c\x94\n");
    Launch own;
    own.environment = {{"FONTCONFIG_FILE", (dir / "fonts.conf").string()}};
    own.time_limit = 30;
    const Outcome drawn = launch(dir.path(), {"--font=DejaVu Sans Mono", "a.txt"}, own);
    EXPECT_EQ(drawn.status, 0) << drawn.err;
    EXPECT_EQ(drawn.signal, 0);

    ASSERT_EQ(mkfifo((dir / "config.fifo").c_str(), 0600), 0);
    for (const std::string& config : {(dir / "config.fifo").string(), std::string("/dev/zero")}) {
        Launch refused;
        refused.environment = {{"FONTCONFIG_FILE", config}};
        refused.time_limit = 30;
        const Outcome outcome = launch(dir.path(), {"--font=NoSuchFont", "--overwrite", "a.txt"}, refused);
        EXPECT_EQ(outcome.status, 1) << config;
        EXPECT_EQ(outcome.err, "error: fontconfig configuration " + config + " is not a regular file\n");
    }
}
