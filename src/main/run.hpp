#pragma once

namespace vedad {

// The whole program: parses the command line and converts every file operand in order.
// Returns the exit status of a normal run; every failure ends the process with status 1.
int run(int argument_count, char** arguments);

}  // namespace vedad
