#pragma once

#include <cstdint>

#include "base/options.hpp"

namespace vedad {

// A file operand is "-" or any argument that does not begin with '-', the empty one included.
bool is_file_operand(const char* argument);

// Stores every option in `options` and returns the number of file operands.
// Ends the run for --help, --version and for an option it does not know.
int32_t parse_options(int32_t argument_count, char** arguments, Options& options);

}  // namespace vedad
