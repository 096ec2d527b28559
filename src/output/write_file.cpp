#include "output/write_file.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fail.hpp"

namespace vedad {

namespace {

struct Free {
    void operator()(char* text) const { std::free(text); }
};

// Opens `path` for writing like fopen(path, "wb") does, and tells whether this call made the file.
FILE* open_for_writing(const char* path, bool& created)
{
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    created = fd >= 0;
    if (fd < 0 && errno == EEXIST) fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    FILE* file = fdopen(fd, "wb");
    if (file == nullptr) close(fd);
    return file;
}

// Writes all of `data` and closes the file. Returns the system's description of the first
// failure, or null.
const char* write_and_close(FILE* file, const void* data, size_t size)
{
    const char* problem = nullptr;
    if (std::fwrite(data, 1, size, file) != size) problem = std::strerror(errno);
    if (std::fclose(file) != 0 && problem == nullptr) problem = std::strerror(errno);
    return problem;
}

// Replaces the existing regular file `path` by a new file written beside it and renamed over
// it once complete, so that a write that fails half way leaves the old file as it was. The
// new file takes the old one's permissions (and owner, where allowed); a symbolic link is
// followed to the file it names. Returns false, having changed nothing, when `path` is no
// existing regular file, has other hard links, or its directory takes no new file: it is
// then written in place.
bool replace_regular_file(const char* path, const void* data, size_t size)
{
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    // A file with other names is written in place, so that every name shows the new picture.
    if (info.st_nlink > 1) return false;
    // Replacing asks no more of the user than writing in place would.
    const int writable = open(path, O_WRONLY | O_CLOEXEC);
    if (writable < 0) fail_errno("could not open file for writing");
    close(writable);

    std::unique_ptr<char, Free> target(realpath(path, nullptr));
    if (target == nullptr) return false;
    std::string temporary = target.get();
    temporary.resize(temporary.rfind('/') + 1);
    temporary += ".vedad-XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    // Only root may give a file away; for anyone else the new file stays theirs, which is no
    // failure. The set-id bits are not carried over: writing in place would clear them too.
    if (fchown(fd, info.st_uid, info.st_gid) != 0) errno = 0;
    fchmod(fd, info.st_mode & 0777);
    FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        close(fd);
        unlink(temporary.c_str());
        return false;
    }
    const char* problem = write_and_close(file, data, size);
    if (problem != nullptr) {
        unlink(temporary.c_str());
        fail("could not write %s: %s", path, problem);
    }
    if (rename(temporary.c_str(), target.get()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

void write_file(const char* path, const void* data, size_t size)
{
    if (replace_regular_file(path, data, size)) return;

    bool created = false;
    FILE* file = open_for_writing(path, created);
    if (file == nullptr) fail_errno("could not open file for writing");
    const char* problem = write_and_close(file, data, size);
    if (problem != nullptr) {
        // A half-written file that this run made must not pass for a picture.
        if (created) unlink(path);
        fail("could not write %s: %s", path, problem);
    }
}

}  // namespace vedad
