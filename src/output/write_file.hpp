#pragma once

#include <cstddef>
#include <string>

#include "base/options.hpp"
#include "output/output_path.hpp"
#include "output/temporary_file.hpp"

namespace vedad {

// Puts the `size` bytes of `data` at the output, whole or not at all, and announces it
// (announce_output). A claimed name is linked to the complete picture only if nothing has
// taken it meanwhile, else the next number is tried. A replaced file is renamed over by a
// complete new one that keeps its owner, group, mode and extended attributes; one whose
// owner cannot be kept or that has other hard links is written in place, once room for the
// whole picture is reserved. Devices, FIFOs and standard output are written as they are.
// Ends the run on any failure, leaving no temporary file.
void write_picture(const Options& options, OutputPath& output, const void* data, size_t size);

// A picture written ahead of its turn (with --jobs=) to an unnamed file in the directory it
// is to be named in, so that only naming it waits for the files before it.
struct EarlyPicture {
    std::string directory;  // its path, as the picture's name gives it
    TemporaryFile file;     // made by the directory's path, and linked by the whole name

    EarlyPicture() = default;
    EarlyPicture(const EarlyPicture&) = delete;
    EarlyPicture& operator=(const EarlyPicture&) = delete;
    ~EarlyPicture();
};

// Writes the picture to an unnamed file in `directory`. False, leaving nothing behind, when
// the directory cannot be opened, its file system takes no unnamed file or a write fails:
// the picture is then written at its turn as ever, with the same messages.
bool write_early(EarlyPicture& early, const std::string& directory, const void* data, size_t size);

// As write_picture, with the picture already in `early` when that holds it: a claimed name
// in its directory is linked to it. Any other output is written from `data`.
void write_picture(const Options& options, OutputPath& output, const void* data, size_t size, EarlyPicture& early);

}  // namespace vedad
