#pragma once

#include <cstddef>

namespace vedad {

// Puts `size` bytes of `data` at `path`, whole: an existing regular file is replaced by a
// complete new one where that can be done, and a file this call created is removed again
// when the write fails. Ends the run on any failure.
void write_file(const char* path, const void* data, size_t size);

}  // namespace vedad
