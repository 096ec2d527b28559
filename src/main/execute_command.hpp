#pragma once

#include <string>
#include <string_view>

#include "base/options.hpp"
#include "canvas/canvas.hpp"

namespace vedad {

// --execute=: runs the command in a terminal of its own and turns what it printed into one
// PNG file named after the command's first word, as if its output had been read from a file
// with --ansi-input. A command that fails or cannot be found still gives its picture.
void convert_command(const Options& options, Canvas& canvas);

// The command's first word, which names its picture.
std::string command_name(std::string_view command);

// The row --prompt= draws before the output: the prompt, then the command as typed, its
// control characters shown as ^X.
std::string prompt_row(std::string_view prompt, std::string_view command);

}  // namespace vedad
