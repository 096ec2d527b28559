#pragma once

#include <cstdio>

#include "canvas/canvas.hpp"
#include "base/options.hpp"

namespace vedad {

// Turns one operand ("-" for standard input) into one PNG file.
void convert_file(const Options& options, Canvas& canvas, const char* operand);

// An input that is open: `name` in messages, the picture named as for `naming_operand`; an
// `owned` stream is closed once it has been read.
struct InputStream {
    FILE* stream = nullptr;
    const char* name = "";
    const char* naming_operand = "";
    bool owned = false;
};

// Turns one open input into one PNG file.
void convert_stream(const Options& options, Canvas& canvas, const InputStream& input);

}  // namespace vedad
