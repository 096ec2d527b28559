#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/types.h>

namespace vedad {

// The size of the terminal a command runs in.
struct TerminalSize {
    int32_t columns = 0;
    int32_t rows = 0;
};

// A command running in a pseudo-terminal of its own, and what is known of its end.
struct CommandRun {
    const char* command = "";
    int32_t timeout_seconds = 0;
    bool verbose = false;  // the exit status is told even when it is 0
    pid_t pid = -1;  // the shell, leader of the command's session and process group
    int master = -1;  // the terminal's side that vedad reads
    std::string preface;  // bytes read before the command's output (the prompt row)
    size_t preface_read = 0;
    int64_t deadline = 0;  // milliseconds of the monotonic clock at which the run is ended
    int64_t kill_at = -1;  // after SIGTERM: when SIGKILL follows
    int64_t give_up_at = -1;  // after SIGKILL: when the output is read no longer
    bool timed_out = false;
    bool output_ended = false;
    bool reaped = false;
    bool finished = false;  // waited for, its terminal released and its end told
    int exit_status = 0;  // as a shell gives it: 128 + the signal for one ended by a signal
};

// Runs `command` with /bin/sh -c in a new pseudo-terminal of `size`, its standard input,
// output and error, with the caller's environment and TERM=xterm-256color and
// COLORTERM=truecolor; the command gets no other descriptor of the run. Ends the run when no
// pseudo-terminal can be had or no process made.
void start_command(CommandRun& run, TerminalSize size);

// A stream of what the command prints, after `run.preface`, up to its end: the command has
// exited and its output has been read, or its time ran out (SIGTERM to its process group,
// SIGKILL a second later, and a warning). Memory does not grow with what it prints. At the
// end of the stream, or when it is closed before, the command is waited for, its terminal
// released and a failure status warned of.
FILE* open_command_output(CommandRun& run);

// Ends the process group of the command that is running, if any, by SIGKILL. Safe in a
// signal handler: the run that is ending takes its command with it.
void end_running_command();

}  // namespace vedad
