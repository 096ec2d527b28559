#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "canvas/canvas.hpp"

namespace vedad_test {

// What a conversion in a child process gives: how it ended, what it said and what it wrote.
struct ChildConversion {
    int status = -1;                   // exit status; -1 when ended by a signal
    std::string err;                   // standard error
    std::vector<std::string> outputs;  // the output files asked for, in order; "" where missing
    uint64_t texts_to_libgd = UINT64_MAX;  // texts the glyph path left to libgd; UINT64_MAX when
                                           // the conversion ended the child before it could tell
};

// Converts like the program does with `arguments` (the program's name goes before them), in a
// fresh directory holding `inputs` (name and contents), and in a child process so that a
// failing conversion can end it. `set_up` changes the canvas before the options are read;
// `outputs` names the files read back afterwards.
ChildConversion convert_in_child(const std::vector<std::string>& arguments,
                                 const std::vector<std::pair<std::string, std::string>>& inputs,
                                 const std::vector<std::string>& outputs,
                                 const std::function<void(vedad::Canvas&)>& set_up);

}  // namespace vedad_test
