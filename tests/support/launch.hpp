#pragma once

#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace vedad_test {

// How to start the program beyond its arguments.
struct Launch {
    std::string input;                           // fed on standard input; nothing when empty
    std::vector<std::pair<int, rlim_t>> limits;  // resource, soft and hard limit
    bool as_nobody = false;                      // drop root to uid and gid 65534 first
    std::vector<int> closed;                     // standard descriptors closed at start
    bool unread_stderr = false;                  // standard error a pipe that nobody reads
    std::vector<std::pair<std::string, std::string>> environment;  // variables to set
    bool capture_out = false;                    // standard output a pipe read into Outcome::out
    unsigned time_limit = 0;  // seconds after which SIGALRM ends a run that hangs; 0: none
};

struct Outcome {
    int status = -1;  // -1 when killed by a signal
    int signal = 0;
    std::string err;
    std::string out;  // with Launch::capture_out
    long peak_rss_kb = 0;
    bool could_not_start = false;
};

inline constexpr int START_FAILED = 125;

// A run that has been started and not yet waited for.
struct Started {
    pid_t pid = -1;
    int err = -1;  // read end of its standard error
    int out = -1;  // read end of its standard output, with Launch::capture_out
    std::string input_path;  // the file its standard input reads, removed by finish
};

// Starts the vedad binary in `directory` with `arguments`, as `how` says, and returns at once.
Started start(const std::filesystem::path& directory, const std::vector<std::string>& arguments,
              const Launch& how = {});

// Collects a started run's standard error (and output), exit and peak memory.
Outcome finish(Started& run);

// Runs the vedad binary in `directory` with `arguments`, started as `how` says; collects its
// standard error, exit and peak memory: start and finish. This is the one way tests start the
// real program.
Outcome launch(const std::filesystem::path& directory, const std::vector<std::string>& arguments,
               const Launch& how = {});

}  // namespace vedad_test
