#include "output/write_file.hpp"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "base/ending_signals.hpp"
#include "base/fail.hpp"
#include "output/announce_output.hpp"
#include "output/temporary_file.hpp"
#include "output/output_test_support.hpp"
#include "support/test_support.hpp"

using namespace vedad;
using vedad_test::InTempDir;
using vedad_test::options_with;
namespace fs = std::filesystem;

namespace {

int open_directory(const fs::path& path)
{
    return open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

std::vector<std::string> hidden_files(const fs::path& directory)
{
    std::vector<std::string> hidden;
    for (const std::string& name : vedad_test::list_directory(directory))
        if (name.starts_with(".vedad-")) hidden.push_back(name);
    return hidden;
}

void put(TemporaryFile& file, const std::string& text)
{
    ASSERT_EQ(write(file.fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

}  // namespace

// Linking never replaces: every kind of entry keeps its name, and the file stays temporary.
TEST(TemporaryFile, LinksOnlyToNamesNothingHas)
{
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden ? "hidden" : "unnamed");
        vedad_test::TempDir dir;
        vedad_test::write_file(dir / "file", "old");
        fs::create_directory(dir / "directory");
        fs::create_symlink("nowhere", dir / "dangling");
        ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
        const int directory = open_directory(dir.path());
        {
            TemporaryFile file;
            ASSERT_EQ(hidden ? open_hidden_temporary_file(file, directory) : open_temporary_file(file, directory), 0);
            EXPECT_EQ(hidden_files(dir.path()).size(), hidden ? 1u : 0u);
            put(file, "new");
            for (const char* taken : {"file", "directory", "dangling", "fifo"})
                EXPECT_EQ(link_temporary_file(file, taken), EEXIST) << taken;
            EXPECT_EQ(vedad_test::read_file(dir / "file"), "old");
            EXPECT_FALSE(fs::exists(dir / "nowhere"));
            EXPECT_EQ(link_temporary_file(file, "new.png"), 0);
        }
        EXPECT_EQ(vedad_test::read_file(dir / "new.png"), "new");
        EXPECT_TRUE(hidden_files(dir.path()).empty());
        EXPECT_EQ(vedad_test::list_directory(dir.path()),
                  (std::vector<std::string>{"dangling", "directory", "fifo", "file", "new.png"}));
        close(directory);
    }
}

// Renaming replaces the entry itself: a link, not the file it leads to.
TEST(TemporaryFile, RenamingReplacesTheEntryNotWhatItLeadsTo)
{
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden ? "hidden" : "unnamed");
        vedad_test::TempDir dir;
        vedad_test::write_file(dir / "target", "old");
        fs::create_symlink("target", dir / "link.png");
        const int directory = open_directory(dir.path());
        {
            TemporaryFile file;
            ASSERT_EQ(hidden ? open_hidden_temporary_file(file, directory) : open_temporary_file(file, directory), 0);
            put(file, "new");
            EXPECT_EQ(rename_temporary_file(file, "link.png"), 0);
        }
        EXPECT_FALSE(fs::is_symlink(dir / "link.png"));
        EXPECT_EQ(vedad_test::read_file(dir / "link.png"), "new");
        EXPECT_EQ(vedad_test::read_file(dir / "target"), "old");
        EXPECT_EQ(vedad_test::list_directory(dir.path()), (std::vector<std::string>{"link.png", "target"}));
        close(directory);
    }
}

// A rename refused (the name is a directory) leaves the file temporary: a hidden name it was
// given on the way goes with the object, and with the run's clean-up should the run end first.
TEST(TemporaryFile, ARefusedRenameLeavesNoHiddenFile)
{
    for (const bool hidden : {false, true}) {
        for (const bool run_ends_first : {false, true}) {
            SCOPED_TRACE(testing::Message() << (hidden ? "hidden" : "unnamed") << (run_ends_first ? ", run ends" : ""));
            vedad_test::TempDir dir;
            fs::create_directory(dir / "a.png");
            const int directory = open_directory(dir.path());
            {
                TemporaryFile file;
                ASSERT_EQ(hidden ? open_hidden_temporary_file(file, directory)
                                 : open_temporary_file(file, directory),
                          0);
                put(file, "new");
                EXPECT_EQ(rename_temporary_file(file, "a.png"), EISDIR);
                // What a failure's exit removes, before any object goes away.
                if (run_ends_first) {
                    remove_temporary_file();
                    EXPECT_TRUE(hidden_files(dir.path()).empty());
                }
            }
            EXPECT_EQ(vedad_test::list_directory(dir.path()), std::vector<std::string>{"a.png"});
            EXPECT_TRUE(fs::is_directory(dir / "a.png"));
            close(directory);
        }
    }
}

// A hidden temporary file goes with the run: when a failure exits, and when an ending signal
// ends it, by that signal.
TEST(TemporaryFileDeathTest, IsRemovedAtExitAndOnEndingSignals)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    vedad_test::TempDir dir;
    const auto make_hidden_file = [&dir] {
        const int directory = open_directory(dir.path());
        static TemporaryFile file;
        if (open_hidden_temporary_file(file, directory) != 0) std::abort();
        if (hidden_files(dir.path()).size() != 1) std::abort();
    };
    EXPECT_EXIT(
        {
            std::atexit(remove_temporary_file);
            make_hidden_file();
            fail("stop");
        },
        testing::ExitedWithCode(1), "error: stop");
    EXPECT_TRUE(hidden_files(dir.path()).empty());
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        EXPECT_EXIT(
            {
                clean_up_on_ending_signals(remove_temporary_file);
                make_hidden_file();
                raise(signal);
            },
            testing::KilledBySignal(signal), "");
        EXPECT_TRUE(hidden_files(dir.path()).empty()) << signal;
    }
    // Held back, a signal takes effect only once the step is done.
    EXPECT_EXIT(
        {
            clean_up_on_ending_signals(remove_temporary_file);
            {
                const EndingSignalsHeld held;
                raise(SIGTERM);
                std::fputs("step done\n", stderr);
            }
            std::exit(0);
        },
        testing::KilledBySignal(SIGTERM), "step done");
}

// The warning and the "writing" line come once, together, and name the file written.
TEST(WritePicture, AnnouncesTheNameThatHoldsThePicture)
{
    InTempDir here;
    const Options options = options_with("", 0, 1);
    OutputPath output = make_output_path(options, "notes.txt");
    ASSERT_EQ(output.path, "notes.png");
    // Another run takes the name after it was chosen.
    vedad_test::write_file("notes.png", "another run's");
    testing::internal::CaptureStderr();
    write_picture(options, output, "picture", 7);
    announce_output(options, output);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "warning: notes.png exists, consider using --overwrite\nwriting notes2.png\n");
    EXPECT_EQ(vedad_test::read_file("notes.png"), "another run's");
    EXPECT_EQ(vedad_test::read_file("notes2.png"), "picture");
    EXPECT_EQ(vedad_test::list_directory("."), (std::vector<std::string>{"notes.png", "notes2.png"}));
}

TEST(WritePicture, ReplacesOnlyWithOverwriteAndWritesDevicesAsTheyAre)
{
    InTempDir here;
    vedad_test::write_file("notes.png", "old");
    testing::internal::CaptureStderr();
    OutputPath replaced = make_output_path(options_with("", 1), "notes.txt");
    write_picture(options_with("", 1), replaced, "new", 3);
    OutputPath device = make_output_path(options_with("/dev/null", 1), "notes.txt");
    write_picture(options_with("/dev/null", 1), device, "new", 3);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "writing notes.png\nwriting /dev/null\n");
    EXPECT_EQ(vedad_test::read_file("notes.png"), "new");
    EXPECT_EQ(vedad_test::list_directory("."), std::vector<std::string>{"notes.png"});
}
