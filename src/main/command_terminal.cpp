#include "main/command_terminal.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/ending_signals.hpp"
#include "base/fail.hpp"

namespace vedad {

namespace {

// A command that has exited is looked for whenever its terminal stays quiet this long: a
// process it left behind may hold the terminal open without ever printing again.
constexpr int64_t QUIET_MILLISECONDS = 100;
// Between SIGTERM and SIGKILL, and after SIGKILL until its output is given up.
constexpr int64_t GRACE_MILLISECONDS = 1000;
// The exit status a shell gives a command that could not be started.
constexpr int CANNOT_RUN_STATUS = 127;
// The status a shell gives a command ended by a signal is this plus the signal's number.
constexpr int SIGNAL_STATUS_BASE = 128;

// The process group ended when the run ends by a signal or a failure; 0 while none runs.
volatile sig_atomic_t running_group = 0;

int64_t now_milliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1'000'000;
}

// In the new process, before the shell: vedad's own signal settings go, and nothing of it
// but the terminal (standard input, output and error) stays open.
[[noreturn]] void become_command(const char* command)
{
    for (const int number : {SIGPIPE, SIGXFSZ}) std::signal(number, SIG_DFL);
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        // One ignored when vedad started stays ignored, as it would for any program it runs.
        if (sigaction(number, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) std::signal(number, SIG_DFL);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (close_range(3, ~0U, 0) != 0) {
        for (int fd = 3, last = static_cast<int>(sysconf(_SC_OPEN_MAX)); fd < last; ++fd) close(fd);
    }
    setenv("TERM", "xterm-256color", 1);
    setenv("COLORTERM", "truecolor", 1);
    // Programs that find these take them over the terminal's own size.
    unsetenv("COLUMNS");
    unsetenv("LINES");
    execl("/bin/sh", "sh", "-c", command, static_cast<char*>(nullptr));
    dprintf(STDERR_FILENO, "vedad: could not run /bin/sh: %s\n", std::strerror(errno));
    _exit(CANNOT_RUN_STATUS);
}

void take_status(CommandRun& run, int status)
{
    run.reaped = true;
    if (WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status)) run.exit_status = SIGNAL_STATUS_BASE + WTERMSIG(status);
}

// Whether the command has exited, collecting its status when it has.
bool try_reap(CommandRun& run)
{
    if (run.reaped) return true;
    int status = 0;
    const pid_t got = waitpid(run.pid, &status, WNOHANG);
    if (got == run.pid) take_status(run, status);
    return run.reaped;
}

// Ends a command whose time has run out: SIGTERM to its process group, SIGKILL a second
// later, and its output given up a second after that.
void keep_time(CommandRun& run, int64_t now)
{
    if (!run.timed_out && now >= run.deadline) {
        run.timed_out = true;
        std::fprintf(stderr, "warning: %s was still running after %d second%s and was ended\n", run.command,
                     run.timeout_seconds, run.timeout_seconds == 1 ? "" : "s");
        kill(-run.pid, SIGTERM);
        run.kill_at = now + GRACE_MILLISECONDS;
    }
    if (run.kill_at >= 0 && now >= run.kill_at) {
        kill(-run.pid, SIGKILL);
        run.kill_at = -1;
        run.give_up_at = now + GRACE_MILLISECONDS;
    }
    if (run.give_up_at >= 0 && now >= run.give_up_at) run.output_ended = true;
}

// How long to wait for output before looking at the time and the command again.
int wait_milliseconds(const CommandRun& run, int64_t now)
{
    int64_t next = run.timed_out ? now + QUIET_MILLISECONDS : run.deadline;
    if (run.kill_at >= 0) next = std::min(next, run.kill_at);
    if (run.give_up_at >= 0) next = std::min(next, run.give_up_at);
    return static_cast<int>(std::clamp<int64_t>(next - now, 0, QUIET_MILLISECONDS));
}

void finish_run(CommandRun& run);

ssize_t read_output(void* cookie, char* buffer, size_t size)
{
    CommandRun& run = *static_cast<CommandRun*>(cookie);
    if (run.preface_read < run.preface.size()) {
        const size_t count = std::min(size, run.preface.size() - run.preface_read);
        std::memcpy(buffer, run.preface.data() + run.preface_read, count);
        run.preface_read += count;
        return static_cast<ssize_t>(count);
    }
    while (!run.output_ended) {
        const int64_t now = now_milliseconds();
        keep_time(run, now);
        if (run.output_ended) break;
        pollfd terminal{run.master, POLLIN, 0};
        const int ready = poll(&terminal, 1, wait_milliseconds(run, now));
        if (ready < 0 && errno != EINTR) return -1;
        if (ready > 0) {
            const ssize_t got = read(run.master, buffer, size);
            if (got > 0) return got;
            // The terminal reads as ended (EIO on Linux) once nothing holds it open any more.
            if (got == 0 || errno == EIO) run.output_ended = true;
            else if (errno != EINTR && errno != EAGAIN) return -1;
        } else if (ready == 0 && try_reap(run)) {
            run.output_ended = true;
        }
    }
    finish_run(run);
    return 0;
}

// Waits for the command to exit, within its time.
void finish_command(CommandRun& run)
{
    while (!try_reap(run)) {
        keep_time(run, now_milliseconds());
        if (run.give_up_at >= 0) {
            // SIGKILL has been sent: the command cannot hold out against it.
            int status = 0;
            while (waitpid(run.pid, &status, 0) < 0 && errno == EINTR) {
            }
            take_status(run, status);
            break;
        }
        usleep(static_cast<useconds_t>(QUIET_MILLISECONDS) * 1000 / 4);
    }
    running_group = 0;
}

// Waits for the command, releases its terminal and tells how it ended, once.
void finish_run(CommandRun& run)
{
    if (run.finished) return;
    run.finished = true;
    finish_command(run);
    close(run.master);
    run.master = -1;
    // A command ended for its time has been warned of already.
    if (!run.timed_out && run.exit_status != 0) {
        std::fprintf(stderr, "warning: %s exited with status %d\n", run.command, run.exit_status);
    } else if (!run.timed_out && run.verbose) {
        std::fprintf(stderr, "%s exited with status %d\n", run.command, run.exit_status);
    }
}

int close_output(void* cookie)
{
    finish_run(*static_cast<CommandRun*>(cookie));
    return 0;
}

}  // namespace

void start_command(CommandRun& run, TerminalSize size)
{
    static const bool ended_at_exit = std::atexit(end_running_command) == 0;
    (void)ended_at_exit;
    winsize window{};
    window.ws_col = static_cast<unsigned short>(std::clamp(size.columns, 1, 0xffff));
    window.ws_row = static_cast<unsigned short>(std::clamp(size.rows, 1, 0xffff));
    // An ending signal that comes before the command is known would leave it running.
    const EndingSignalsHeld held;
    const pid_t pid = forkpty(&run.master, nullptr, nullptr, &window);
    if (pid < 0) fail("could not run %s in a terminal: %s", run.command, std::strerror(errno));
    if (pid == 0) become_command(run.command);
    fcntl(run.master, F_SETFD, FD_CLOEXEC);
    run.pid = pid;
    running_group = pid;
    run.deadline = now_milliseconds() + int64_t{run.timeout_seconds} * 1000;
}

FILE* open_command_output(CommandRun& run)
{
    const cookie_io_functions_t functions{read_output, nullptr, nullptr, close_output};
    FILE* stream = fopencookie(&run, "r", functions);
    if (stream == nullptr) fail("could not read %s: %s", run.command, std::strerror(errno));
    return stream;
}

void end_running_command()
{
    const pid_t group = running_group;
    if (group > 0) kill(-group, SIGKILL);
}

}  // namespace vedad
