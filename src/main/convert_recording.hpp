#pragma once

#include <cstdio>

#include "base/options.hpp"
#include "canvas/canvas.hpp"

namespace vedad {

// --asciicast: plays the recording read from `input` on a terminal of its size and writes
// its picture, named for `operand`: an animation of the session as a GIF or WebP, else a
// still picture of its final screen; with --at=, a still picture of the screen then. The recording is read a line
// at a time, twice (standard input is kept in a temporary file for it): first for the largest
// size the terminal takes, which is the picture's, then to play it. Memory follows the
// screen's size, not the recording's length.
void convert_recording(const Options& options, Canvas& canvas, FILE* input, const char* operand);

}  // namespace vedad
