#pragma once

#include "base/options.hpp"
#include "output/output_path.hpp"

namespace vedad {

// Prints, once per picture, the naming warning (with --verbose, when the name is numbered)
// and "writing PATH". A new name is announced once it holds the picture, so that the line
// names the file that does; a failure announces the name it was meant for first.
void announce_output(const Options& options, OutputPath& output);

// Announces the output, then reports that the file could not be made or opened:
// "could not open file for writing: " and the system's description of `error`.
[[noreturn]] void fail_opening_output(const Options& options, OutputPath& output, int error);

// Announces the output, then "error: could not write PATH: REASON".
[[noreturn]] void fail_writing_output(const Options& options, OutputPath& output, const char* reason);

}  // namespace vedad
