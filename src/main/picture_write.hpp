#pragma once

#include <cstdint>
#include <memory>

#include "base/options.hpp"
#include "output/encode_png.hpp"
#include "output/write_file.hpp"

namespace vedad {

// A page's encoded picture on its way to its name: everything its writing needs, so that with
// --jobs= it can be written after the thread that made it has gone on to other files.
struct PictureWrite {
    const Options* options = nullptr;
    const char* operand = nullptr;  // names the picture
    int64_t page = 1;               // of the operand's pages (--split=)
    EncodedPicture picture;
    const char* failure = nullptr;  // what to say when the picture could not be encoded
    std::unique_ptr<EarlyPicture> early;  // the bytes already in a file, with --jobs=
};

// Makes the output directory, chooses the name and writes the picture there, as the serial
// run does at once and --jobs= does in the file's turn; ends the run (or the file's turn) on
// failure.
void write_picture_now(PictureWrite& write);

// Writes the picture: at once in the serial run, in its file's turn with --jobs=.
void write_in_turn(PictureWrite&& write);

}  // namespace vedad
