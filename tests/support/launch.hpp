#pragma once

#include <filesystem>
#include <string>
#include <sys/resource.h>
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
};

struct Outcome {
    int status = -1;  // -1 when killed by a signal
    int signal = 0;
    std::string err;
    long peak_rss_kb = 0;
    bool could_not_start = false;
};

inline constexpr int START_FAILED = 125;

// Runs the vedad binary in `directory` with `arguments`, started as `how` says; collects its
// standard error, exit and peak memory. This is the one way tests start the real program.
Outcome launch(const std::filesystem::path& directory, const std::vector<std::string>& arguments,
               const Launch& how = {});

}  // namespace vedad_test
