// --execute: a command runs in a pseudo-terminal of its own, and what it printed draws the
// picture that the same bytes draw read from a file with --ansi-input in a terminal as wide.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "support/launch.hpp"
#include "support/test_support.hpp"

using namespace vedad_test;
namespace fs = std::filesystem;

namespace {

// What a shell run by the test prints on its standard output and error.
std::string output_of(const fs::path& directory, const std::string& command)
{
    const std::string in_directory = "cd '" + directory.string() + "' && { " + command + "; } 2>&1";
    FILE* pipe = popen(in_directory.c_str(), "r");
    std::string output;
    char buffer[4096];
    for (size_t got; pipe != nullptr && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    if (pipe != nullptr) pclose(pipe);
    return output;
}

// The picture that `bytes`, read as terminal output from a file, draw with `options`.
Image terminal_picture(const std::vector<std::string>& options, const std::string& bytes)
{
    TempDir dir;
    write_file(dir / "output", bytes);
    std::vector<std::string> arguments = {"--ansi-input", "--columns=80"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back("output");
    const Outcome outcome = launch(dir.path(), arguments);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    return read_png(dir / "output.png");
}

Launch hang_guard()
{
    Launch how;
    how.time_limit = 60;
    return how;
}

// Whether the process is gone, or nothing but a zombie waiting for its new parent.
bool is_gone(pid_t pid)
{
    const std::string stat = read_file("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return stat.empty() || (close != std::string::npos && stat.compare(close, 3, ") Z") == 0);
}

}  // namespace

TEST(Execute, DrawsWhatTheCommandPrintedInItsTerminal)
{
    TempDir dir;
    fs::create_directory(dir / "listed");
    fs::create_directory(dir / "listed" / "folder");
    write_file(dir / "listed" / "plain", "");
    Launch how = hang_guard();
    how.environment = {{"LS_COLORS", "di=01;34:fi=0"}};
    const struct {
        const char* name;
        std::vector<std::string> options;
        std::string command;
        std::string printed;  // the bytes a file would hold, as a terminal of --columns shows them
    } cases[] = {
        // ls colours its output only on a terminal, and sets it in columns as wide as that.
        {"ls colours on a terminal", {}, "ls --color=auto listed",
         output_of(dir.path(), "LS_COLORS='di=01;34:fi=0' ls --color=always -C -w 80 listed")},
        {"the terminal's size is asked for", {"--columns=33", "--rows=7"}, "tput cols; tput lines", "33\n7\n"},
        {"the terminal says what it is", {}, "echo $TERM $COLORTERM", "xterm-256color truecolor\n"},
        {"standard input is the terminal", {}, "test -t 0 && echo yes", "yes\n"},
        {"rows wrap at the columns", {"--columns=4"}, "echo abcdefghij", "abcdefghij\n"},
        {"rows are not held to --rows", {"--rows=2"}, "printf 'a\\nb\\nc\\nd\\n'", "a\nb\nc\nd\n"},
        {"the default prompt", {"--prompt"}, "echo hi", "$ echo hi\nhi\n"},
        {"a prompt of its own, control characters shown", {"--prompt=% "}, "echo a\x01", "% echo a^A\na\x01\n"},
        {"a program that leaves the alternate screen", {}, "printf 'main\\n\\033[?1049hfull\\033[?1049l'",
         "main\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments = c.options;
        arguments.push_back("--execute=" + c.command);
        arguments.push_back("--output=command.png");
        const Outcome outcome = launch(dir.path(), arguments, how);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "writing command.png\n");
        EXPECT_EQ(compare_images(read_png(dir / "command.png"), terminal_picture(c.options, c.printed)), "");
        fs::remove(dir / "command.png");
    }
}

// A command that fails, cannot be found or outlives its time still gives the picture of what
// it printed, with a warning; the run itself succeeds.
TEST(Execute, FailuresAndTimeoutsWarnAndStillDraw)
{
    TempDir dir;
    const struct {
        const char* name;
        std::vector<std::string> options;
        std::string command;
        std::string printed;
        std::string warning;
    } cases[] = {
        {"a failure status", {}, "echo failing; exit 3", "failing\n", "warning: echo failing; exit 3 exited with status 3\n"},
        {"a failure status, the output read twice to fit it", {"--fit"}, "echo failing; exit 3", "failing\n",
         "warning: echo failing; exit 3 exited with status 3\n"},
        {"not found", {}, "no-such-command-here", output_of(dir.path(), "sh -c no-such-command-here"),
         "warning: no-such-command-here exited with status 127\n"},
        {"still running", {"--timeout=1"}, "echo started; exec sleep 100", "started\n",
         "warning: echo started; exec sleep 100 was still running after 1 second and was ended\n"},
        {"deaf to SIGTERM", {"--timeout=1"}, "trap '' TERM; echo started; while :; do :; done", "started\n",
         "warning: trap '' TERM; echo started; while :; do :; done was still running after 1 second and was ended\n"},
        {"left on the alternate screen", {"--timeout=1"}, "printf 'main\\033[?1049hfull'; exec sleep 100",
         "main\x1b[?1049hfull", "warning: printf 'main\\033[?1049hfull'; exec sleep 100 was still running after 1 second and was ended\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"--execute", c.command, "--output=command.png"});
        const Outcome outcome = launch(dir.path(), arguments, hang_guard());
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.err, c.warning + "writing command.png\n");
        EXPECT_EQ(compare_images(read_png(dir / "command.png"), terminal_picture(c.options, c.printed)), "");
        fs::remove(dir / "command.png");
    }
}

// A command that prints for ever is ended by its time and drawn.
TEST(Execute, EndlessOutputEndsAtTheTimeout)
{
    TempDir dir;
    const Outcome outcome = launch(dir.path(), {"--timeout=1", "--execute=yes"}, hang_guard());
    std::string page_of_y;
    for (int row = 0; row < 1000; ++row) page_of_y += "y\n";
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("warning: yes was still running after 1 second and was ended\n", 0), 0u) << outcome.err;
    EXPECT_EQ(compare_images(read_png(dir / "yes.png"), terminal_picture({}, page_of_y)), "");
}

TEST(Execute, PicturesAreNamedAfterTheFirstWordAndNumbered)
{
    TempDir dir;
    for (int run = 0; run < 2; ++run) {
        const Outcome outcome = launch(dir.path(), {"-v", "--execute=  /bin/echo one two"});
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        const std::string name = run == 0 ? "echo.png" : "echo2.png";
        EXPECT_NE(outcome.err.find("running   /bin/echo one two\n"), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find("  /bin/echo one two exited with status 0\n"), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find("writing " + name + "\n"), std::string::npos) << outcome.err;
    }
    EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"echo.png", "echo2.png"}));
}

TEST(Execute, RefusesInputFilesAndValuesOutOfRange)
{
    TempDir dir;
    write_file(dir / "in.txt", "x\n");
    const struct {
        std::vector<std::string> arguments;
        std::string error;
    } cases[] = {
        {{"--execute=ls", "in.txt"}, "error: --execute= draws what its command prints and takes no input files\n"},
        {{"--execute=ls", "-"}, "error: --execute= draws what its command prints and takes no input files\n"},
        {{"--rows=0", "--execute=ls"}, "error: --rows= expects a whole number of rows from 1 to 65535, as in --rows=24\n"},
        {{"--rows=65536", "--execute=ls"}, "error: --rows= expects a whole number of rows from 1 to 65535, as in --rows=24\n"},
        {{"--timeout=0", "--execute=ls"},
         "error: --timeout= expects a whole number of seconds from 1, as in --timeout=30\n"},
        {{"--timeout=1.5", "--execute=ls"},
         "error: --timeout= expects a whole number of seconds from 1, as in --timeout=30\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = launch(dir.path(), c.arguments);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.err, c.error);
    }
    const Outcome blank = launch(dir.path(), {"--execute= "});
    EXPECT_EQ(blank.status, 1);
    EXPECT_EQ(blank.err.rfind("error: --execute= expects a command to run, as in --execute='ls --color=auto'\n", 0), 0u)
        << blank.err;
    EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"in.txt"});
}

// SIGTERM to vedad while its command runs ends the command's process group too, and leaves
// no picture, whole or partial. The command is deaf to the hangup of its terminal closing.
TEST(Execute, AnEndingSignalTakesTheCommandAlongAndLeavesNoPicture)
{
    TempDir dir;
    Started run = start(dir.path(), {"--execute=trap '' HUP; sleep 100 & echo $! > child; echo $$ > shell; wait"}, hang_guard());
    for (int wait = 0; wait < 500 && read_file(dir / "shell").empty(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const pid_t child = std::stoi(read_file(dir / "child"));
    const pid_t shell = std::stoi(read_file(dir / "shell"));
    kill(run.pid, SIGTERM);
    const Outcome outcome = finish(run);
    EXPECT_EQ(outcome.signal, SIGTERM);
    for (int wait = 0; wait < 200 && !(is_gone(child) && is_gone(shell)); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(is_gone(child));
    EXPECT_TRUE(is_gone(shell));
    EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"child", "shell"}));
}

// --screen: only the last screenful of --rows= rows shows, as the terminal showed it at the
// end; rows scrolled away leave nothing, not even their width.
TEST(Execute, ScreenDrawsTheLastScreenful)
{
    struct Case {
        const char* name;
        std::vector<std::string> options;
        std::string output;
        std::string shown;  // the same screen, written out without scrolling
    };
    std::vector<Case> cases = {
        {"rows scroll away", {"--rows=3"}, "a long row that scrolls away\n1\n2\n3\n4", "2\n3\n4"},
        {"moves are held inside the screen", {"--rows=3"}, "1\n2\n3\x1b[99;1Hx", "1\n2\nx"},
        {"wrapping scrolls too", {"--rows=2", "--columns=4"}, "abcdefghijkl", "efgh\nijkl"},
        {"a shorter output is all there", {"--rows=5"}, "1\n2", "1\n2"},
        {"rows inserted push the last off the screen", {"--rows=3"}, "1\n2\n3\x1b[H\x1b[L", "\n1\n2"},
    };
    std::string numbers;
    std::string last_numbers;
    for (int row = 1; row <= 40; ++row) {
        numbers += '\n';
        numbers += std::to_string(row);
        if (row > 11) last_numbers += '\n';
        if (row > 10) last_numbers += std::to_string(row);
    }
    cases.push_back({"a screen taller than the page", {"--rows=30", "--size=300x40"},
                     "a long row that scrolls away and would widen the picture" + numbers, last_numbers});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> screen = c.options;
        screen.push_back("--screen");
        EXPECT_EQ(compare_images(terminal_picture(screen, c.output), terminal_picture(c.options, c.shown)), "");
    }
    TempDir dir;
    const Outcome outcome = launch(dir.path(), {"--screen", "--rows=3", "--execute=seq 1 10", "-o", "seq.png"}, hang_guard());
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(compare_images(read_png(dir / "seq.png"), terminal_picture({}, "9\n10\n")), "");
}
