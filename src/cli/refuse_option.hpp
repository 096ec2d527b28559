#pragma once

namespace vedad {

// Ends the run for an argument that no option test matched, with the usage text after the
// message. An option that takes a value but was given none (a bare "--size" or "-o" at the
// end of the command line), or a value its test cannot read ("--size=800x", "--size 800x"),
// is told what it expects; anything else is an unknown option.
[[noreturn]] void refuse_option(const char* argument);

}  // namespace vedad
