#pragma once

#include <array>

namespace vedad {

// A picture is written to a temporary file in the directory of its name and gets that name
// only once it is complete, so that no name ever holds part of a picture. The temporary file
// is unnamed (O_TMPFILE: the kernel frees it whatever ends the run) where the file system
// allows, otherwise a hidden ".vedad-XXXXXX" entry that the run removes again on failure, at
// exit and on the ending signals. A run holds at most one at a time.
struct TemporaryFile {
    int fd = -1;
    int directory = -1;  // where it lives; not owned
    bool hidden = false;
    std::array<char, 16> name{};  // the hidden entry, while there is one

    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    // Closes the file and removes a hidden entry that was never given its final name.
    ~TemporaryFile();
};

// Makes an empty temporary file in `directory`: unnamed where the file system takes one,
// hidden otherwise. Returns 0, or the errno of the failure.
int open_temporary_file(TemporaryFile& file, int directory);
// Makes an empty unnamed file in the directory at `path`, with no descriptor for the
// directory: it is then linked by the whole name (see link_temporary_file). False where the
// file system takes no unnamed file, or the directory cannot be reached.
bool open_unnamed_file_at(TemporaryFile& file, const char* path);

// Makes an empty hidden temporary file in `directory`. Returns 0 or an errno.
int open_hidden_temporary_file(TemporaryFile& file, int directory);

// Gives the file the name `name` in its directory (the whole name, for a file made by
// open_unnamed_file_at) if no entry of any kind has that name.
// Returns 0, EEXIST when the name is taken, or another errno.
int link_temporary_file(TemporaryFile& file, const char* name);

// Gives the file the name `name` in its directory, replacing whatever entry has it (not a
// directory). Returns 0 or an errno.
int rename_temporary_file(TemporaryFile& file, const char* name);

// Removes the hidden temporary file the run holds, if any. Safe in a signal handler.
void remove_temporary_file();

}  // namespace vedad
