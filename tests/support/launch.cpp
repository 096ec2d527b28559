#include "support/launch.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vedad_test {

namespace fs = std::filesystem;

Started start(const fs::path& directory, const std::vector<std::string>& arguments, const Launch& how)
{
    std::vector<std::string> copies = arguments;
    std::string program = VEDAD_BINARY;
    std::vector<char*> argv{program.data()};
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);

    // The input is read from a file, so that a program that does not read it all never blocks us.
    char input_path[] = "/tmp/vedad-input-XXXXXX";
    const int input_file = mkstemp(input_path);
    if (input_file < 0) return {};
    fchmod(input_file, 0644);  // readable also by a program started as another user
    const bool written = write(input_file, how.input.data(), how.input.size()) ==
                         static_cast<ssize_t>(how.input.size());
    close(input_file);
    int err_pipe[2];
    int out_pipe[2] = {-1, -1};
    if (!written || pipe2(err_pipe, O_CLOEXEC) != 0) {
        unlink(input_path);
        return {};
    }
    if (how.capture_out && pipe2(out_pipe, O_CLOEXEC) != 0) {
        close(err_pipe[0]);
        close(err_pipe[1]);
        unlink(input_path);
        return {};
    }
    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int in = open(how.input.empty() ? "/dev/null" : input_path, O_RDONLY);
        if (in < 0 || chdir(directory.c_str()) != 0) _exit(START_FAILED);
        for (const auto& [name, value] : how.environment) setenv(name.c_str(), value.c_str(), 1);
        if (how.as_nobody && geteuid() == 0) {
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(START_FAILED);
        }
        for (const auto& [resource, limit] : how.limits) {
            const struct rlimit lowered = {limit, limit};
            if (setrlimit(resource, &lowered) != 0) _exit(START_FAILED);
        }
        dup2(in, 0);
        dup2(err_pipe[1], 2);
        if (how.capture_out) dup2(out_pipe[1], 1);
        // Nothing but the standard descriptors is handed on, whatever the test runner left open,
        // so that descriptor limits mean the same everywhere.
        close_range(3, ~0U, 0);
        for (int fd : how.closed) close(fd);
        int unread[2];
        if (how.unread_stderr) {
            if (pipe(unread) != 0) _exit(START_FAILED);
            close(unread[0]);
            dup2(unread[1], 2);
            close(unread[1]);
        }
        // The signals' default actions, none held back, whatever the test runner set.
        for (int number : {SIGPIPE, SIGXFSZ, SIGINT, SIGTERM, SIGHUP, SIGALRM}) signal(number, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        // The alarm lasts across exec: a run that hangs ends by it, and the test fails, not waits.
        if (how.time_limit > 0) alarm(how.time_limit);
        execv(argv[0], argv.data());
        _exit(START_FAILED);
    }
    close(err_pipe[1]);
    if (how.capture_out) close(out_pipe[1]);
    return {child, err_pipe[0], out_pipe[0], input_path};
}

Outcome finish(Started& run)
{
    Outcome outcome;
    if (run.pid < 0) return outcome;
    // Both pipes are drained together, so that a full one cannot hold the run up.
    struct pollfd ends[2] = {{run.err, POLLIN, 0}, {run.out, POLLIN, 0}};
    std::string* texts[2] = {&outcome.err, &outcome.out};
    char buffer[4096];
    while (ends[0].fd >= 0 || ends[1].fd >= 0) {
        if (poll(ends, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (ends[i].fd < 0 || ends[i].revents == 0) continue;
            const ssize_t n = read(ends[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[i]->append(buffer, static_cast<size_t>(n));
            } else {
                close(ends[i].fd);
                ends[i].fd = -1;
            }
        }
    }
    int status = 0;
    struct rusage usage {};
    wait4(run.pid, &status, 0, &usage);
    run.pid = -1;
    unlink(run.input_path.c_str());
    if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    outcome.peak_rss_kb = usage.ru_maxrss;
    outcome.could_not_start = outcome.status == START_FAILED && outcome.err.empty();
    return outcome;
}

Outcome launch(const fs::path& directory, const std::vector<std::string>& arguments, const Launch& how)
{
    Started run = start(directory, arguments, how);
    return finish(run);
}

}  // namespace vedad_test
