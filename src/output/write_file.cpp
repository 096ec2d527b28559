#include "output/write_file.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "base/ending_signals.hpp"
#include "output/announce_output.hpp"
#include "output/temporary_file.hpp"

namespace vedad {

namespace {

struct Descriptor {
    int fd = -1;
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd >= 0) close(fd);
    }
};

int open_directory(const std::string& directory)
{
    return open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// Opens the directory that `path` names its file in.
int open_directory_of(const std::string& path)
{
    return open_directory(directory_of(path));
}

// Writes all of `data` from the descriptor's position, or from `offset` when it is not -1.
// Returns 0 or an errno.
int write_all(int fd, const void* data, size_t size, off_t offset = -1)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = offset < 0 ? write(fd, bytes, size) : pwrite(fd, bytes, size, offset);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return EIO;
        bytes += written;
        size -= static_cast<size_t>(written);
        if (offset >= 0) offset += written;
    }
    return 0;
}

void write_whole(const Options& options, OutputPath& output, int fd, const void* data, size_t size)
{
    if (const int error = write_all(fd, data, size)) fail_writing_output(options, output, std::strerror(error));
}

// Gives `to` the extended attributes of `from` (access control lists among them). False
// when one cannot be carried over.
bool copy_extended_attributes(int from, int to)
{
    const ssize_t list_size = flistxattr(from, nullptr, 0);
    if (list_size < 0) return errno == ENOTSUP;  // a file system without them: none to carry
    std::string names(static_cast<size_t>(list_size), '\0');
    if (flistxattr(from, names.data(), names.size()) != list_size) return false;
    std::string value;
    for (size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
        const char* name = names.c_str() + at;
        const ssize_t value_size = fgetxattr(from, name, nullptr, 0);
        if (value_size < 0) return false;
        value.resize(static_cast<size_t>(value_size));
        if (fgetxattr(from, name, value.data(), value.size()) != value_size) return false;
        if (fsetxattr(to, name, value.data(), value.size(), 0) != 0) return false;
    }
    return true;
}

// Gives the new file the old one's owner, group, permissions and extended attributes. Only
// root may give a file away, and only to a group its owner is in; false when that or any
// other part is not permitted. The set-id bits are not carried: writing in place clears them too.
bool carry_over(int old_fd, const struct stat& old_info, int new_fd)
{
    struct stat new_info;
    if (fstat(new_fd, &new_info) != 0) return false;
    if ((new_info.st_uid != old_info.st_uid || new_info.st_gid != old_info.st_gid) &&
        fchown(new_fd, old_info.st_uid, old_info.st_gid) != 0)
        return false;
    if (fchmod(new_fd, old_info.st_mode & 0777) != 0) return false;
    return copy_extended_attributes(old_fd, new_fd);
}

// Writes over the old picture. Room for the whole new one is reserved first, so that a full
// disk or a file size limit fails before a byte of the old picture changes; the ending
// signals wait until the write is done. Only SIGKILL can cut it short.
void write_in_place(const Options& options, OutputPath& output, int fd, const void* data, size_t size)
{
    // Another run writing the same file in place waits for this one to finish, and then writes
    // its whole picture over it: the two never interleave. The lock goes with the descriptor;
    // a file system without locks is written as it is.
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    const EndingSignalsHeld held;
    const off_t length = static_cast<off_t>(size);
    if (const int error = posix_fallocate(fd, 0, length)) fail_writing_output(options, output, std::strerror(error));
    if (const int error = write_all(fd, data, size, 0)) fail_writing_output(options, output, std::strerror(error));
    if (ftruncate(fd, length) != 0 || close(fd) != 0) fail_writing_output(options, output, std::strerror(errno));
}

// A complete new file under `name` in `directory`, replacing whatever entry has the name.
void put_new_file(const Options& options, OutputPath& output, int directory, const char* name, const void* data,
                  size_t size)
{
    TemporaryFile file;
    if (const int error = open_temporary_file(file, directory)) fail_opening_output(options, output, error);
    write_whole(options, output, file.fd, data, size);
    if (const int error = rename_temporary_file(file, name)) fail_opening_output(options, output, error);
}

// Replaces the regular file `name` by a complete new one renamed over it. Returns false,
// having changed nothing, when it is to be written in place instead.
bool replace_by_rename(const Options& options, OutputPath& output, int directory, const char* name, int old_fd,
                       const void* data, size_t size)
{
    struct stat info;
    if (fstat(old_fd, &info) != 0) fail_opening_output(options, output, errno);
    // A file with other names is written in place, so that every name shows the new picture.
    if (info.st_nlink > 1 || !S_ISREG(info.st_mode)) return false;
    TemporaryFile file;
    if (const int error = open_temporary_file(file, directory)) {
        // A directory that takes no new file, where the file itself may be written.
        if (error == EACCES || error == EPERM) return false;
        fail_opening_output(options, output, error);
    }
    if (!carry_over(old_fd, info, file.fd)) return false;
    write_whole(options, output, file.fd, data, size);
    if (const int error = rename_temporary_file(file, name)) fail_opening_output(options, output, error);
    return true;
}

void replace(const Options& options, OutputPath& output, const void* data, size_t size)
{
    announce_output(options, output);
    const Descriptor directory(open_directory_of(output.path));
    if (directory.fd < 0) fail_opening_output(options, output, errno);
    const char* name = basename(output.path.c_str());
    struct stat entry;
    if (fstatat(directory.fd, name, &entry, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) fail_opening_output(options, output, errno);
        put_new_file(options, output, directory.fd, name, data, size);
        return;
    }
    if (S_ISDIR(entry.st_mode)) fail_opening_output(options, output, EISDIR);
    // A symbolic link is replaced, never written through; so are a FIFO or device entry.
    if (!S_ISREG(entry.st_mode)) {
        put_new_file(options, output, directory.fd, name, data, size);
        return;
    }
    // Replacing asks no more of the user than writing in place would.
    const int old_fd = openat(directory.fd, name, O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (old_fd < 0) fail_opening_output(options, output, errno);
    if (replace_by_rename(options, output, directory.fd, name, old_fd, data, size)) {
        close(old_fd);
        return;
    }
    write_in_place(options, output, old_fd, data, size);
}

// Gives the complete picture in `file` the claimed name, or the next free number. A file
// made by its folder's path is linked by the whole name.
void link_claimed(const Options& options, OutputPath& output, TemporaryFile& file)
{
    for (;;) {
        const char* name = file.directory == AT_FDCWD ? output.path.c_str() : basename(output.path.c_str());
        const int error = link_temporary_file(file, name);
        if (error == 0) {
            output.unsettled = false;
            break;
        }
        if (error != EEXIST) fail_opening_output(options, output, error);
        take_next_number(output);
    }
    announce_output(options, output);
}

void claim(const Options& options, OutputPath& output, const void* data, size_t size)
{
    // Where the file system takes an unnamed file, it is made by the folder's path and
    // linked by the whole name: the folder needs no descriptor of its own.
    {
        TemporaryFile file;
        if (open_unnamed_file_at(file, directory_of(output.path).c_str())) {
            write_whole(options, output, file.fd, data, size);
            link_claimed(options, output, file);
            return;
        }
    }
    const Descriptor directory(open_directory_of(output.path));
    if (directory.fd < 0) fail_opening_output(options, output, errno);
    TemporaryFile file;
    if (const int error = open_temporary_file(file, directory.fd)) fail_opening_output(options, output, error);
    write_whole(options, output, file.fd, data, size);
    link_claimed(options, output, file);
}

void write_as_is(const Options& options, OutputPath& output, const void* data, size_t size)
{
    announce_output(options, output);
    const int fd = open(output.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) fail_opening_output(options, output, errno);
    write_whole(options, output, fd, data, size);
    if (close(fd) != 0) fail_writing_output(options, output, std::strerror(errno));
}

}  // namespace

void write_picture(const Options& options, OutputPath& output, const void* data, size_t size)
{
    switch (output.mode) {
    case OutputMode::claim:
        claim(options, output, data, size);
        return;
    case OutputMode::replace:
        replace(options, output, data, size);
        return;
    case OutputMode::as_is:
        write_as_is(options, output, data, size);
        return;
    case OutputMode::standard_output:
        announce_output(options, output);
        write_whole(options, output, STDOUT_FILENO, data, size);
        return;
    }
}

EarlyPicture::~EarlyPicture() = default;

bool write_early(EarlyPicture& early, const std::string& directory, const void* data, size_t size)
{
    early.directory = directory;
    // Only an unnamed file: a hidden one would be a second temporary entry the run holds.
    if (!open_unnamed_file_at(early.file, directory.c_str())) return false;
    if (write_all(early.file.fd, data, size) == 0) return true;
    close(early.file.fd);
    early.file.fd = -1;
    return false;
}

void write_picture(const Options& options, OutputPath& output, const void* data, size_t size, EarlyPicture& early)
{
    if (output.mode != OutputMode::claim || early.file.fd < 0 || directory_of(output.path) != early.directory) {
        write_picture(options, output, data, size);
        return;
    }
    link_claimed(options, output, early.file);
}

}  // namespace vedad
