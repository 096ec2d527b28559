#pragma once

#include <filesystem>

#include "base/options.hpp"
#include "support/test_support.hpp"

namespace vedad_test {

// Runs a test inside a fresh directory, since names without --output= land in the current one.
struct InTempDir {
    TempDir dir;
    std::filesystem::path previous = std::filesystem::current_path();
    InTempDir() { std::filesystem::current_path(dir.path()); }
    ~InTempDir() { std::filesystem::current_path(previous); }
};

inline vedad::Options options_with(const char* output, int overwrite = 0, int verbose = 0)
{
    vedad::Options options;
    vedad::set_default_options(options);
    options.output = output;
    options.overwrite = overwrite;
    options.verbose = verbose;
    return options;
}

}  // namespace vedad_test
