#pragma once

#include <cstdint>

#include "base/options.hpp"
#include "cli/parse_options.hpp"
#include "main/picture_write.hpp"

namespace vedad {

// --jobs=: the files of a run converted by several threads at once, each with a canvas, a
// glyph engine and fontconfig answers of its own. Drawing and encoding go on side by side;
// pictures are written one file at a time in the order of the operands, so a name is claimed
// (and numbered around existing files) exactly as the serial run claims it. A thread done
// with a file before its turn hands it in and goes on with the next; whichever thread holds
// the turn writes every file that is due. Each file's
// messages are held and told in the same order, and a failing file ends the run where the
// serial run ends: the files before it are written and told, nothing after it is written.

// The threads --jobs= asks for: 0 means one per core this process may run on.
int32_t jobs_wanted(int32_t jobs);

// Converts the operands with `threads` threads (2 or more). Returns the run's exit status.
int convert_files_in_jobs(const Options& options, const Operands& operands, int32_t threads);

// Whether this thread converts a file of --jobs=, whose pictures are written in turns.
bool writes_in_turns();

// On a thread of --jobs=: keeps the page's picture to be written in its file's turn, after
// the messages told so far, and writes its bytes to disk ahead where it can.
void hand_over_picture(PictureWrite&& write);

}  // namespace vedad
