#pragma once

#include <cstdint>
#include <vector>

#include "base/options.hpp"

namespace vedad {

// A file operand is "-" or any argument that does not begin with '-', the empty one included.
// After "--" every argument is one.
bool is_file_operand(const char* argument);

// The file operands of a command line, in command-line order, as they stand in the argument
// vector.
using Operands = std::vector<const char*>;

// What --pretty stands for: a window, padding, rounded corners, a shadow, a margin, --fit,
// scale 2 and a larger font; each can still be given otherwise.
void set_pretty_defaults(Options& options);

// Stores every option in `options` and the file operands in `operands` (emptied first). An
// option that takes a value has it after its "=" (--width=800) or, written alone, in the next
// argument (--width 800, -o pictures), which is then no operand; "--" ends the options.
// Ends the run for --help, --version, --list-fonts and for an option it does not know. The
// operands are the caller's, so that what they hold stays reachable whenever the run ends.
void parse_options(int32_t argument_count, char** arguments, Options& options, Operands& operands);

}  // namespace vedad
