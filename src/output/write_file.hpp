#pragma once

#include <cstddef>

#include "base/options.hpp"
#include "output/output_path.hpp"

namespace vedad {

// Puts the `size` bytes of `data` at the output, whole or not at all, and announces it
// (announce_output). A claimed name is linked to the complete picture only if nothing has
// taken it meanwhile, else the next number is tried. A replaced file is renamed over by a
// complete new one that keeps its owner, group, mode and extended attributes; one whose
// owner cannot be kept or that has other hard links is written in place, once room for the
// whole picture is reserved. Devices, FIFOs and standard output are written as they are.
// Ends the run on any failure, leaving no temporary file.
void write_picture(const Options& options, OutputPath& output, const void* data, size_t size);

}  // namespace vedad
