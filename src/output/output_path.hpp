#pragma once

#include <cstddef>

#include "cli/options.hpp"

namespace vedad {

// The operand and --output= together may not exceed this; with '/', three digits and
// ".png" the longest path is then 5120 characters.
inline constexpr size_t OUTPUT_NAME_INPUT_LIMIT = 5112;
inline constexpr int FIRST_NUMBER = 2;
inline constexpr int GIVE_UP_NUMBER = 999;

// Chooses the PNG path for `operand`. The result lives in storage that the next call
// overwrites. Ends the run when the names are too long or every numbered name is taken.
const char* make_output_path(const Options& options, const char* operand);

// The part of `path` after its last '/' (all of it when there is none).
const char* basename(const char* path);

// Cuts `text` at the last '.' of its last component, if there is one.
void strip_extension(char* text);

bool is_directory(const char* path);
bool is_regular_file(const char* path);

}  // namespace vedad
