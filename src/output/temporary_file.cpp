#include "output/temporary_file.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include "base/ending_signals.hpp"

namespace vedad {

namespace {

constexpr char HIDDEN_PREFIX[] = ".vedad-";
constexpr int HIDDEN_SUFFIX_LENGTH = 6;
constexpr int HIDDEN_NAME_ATTEMPTS = 100;

// What remove_temporary_file removes: set and cleared only while the ending signals are held.
int registered_directory = -1;
std::array<char, 16> registered_name{};
volatile sig_atomic_t registered = 0;

void register_hidden(const TemporaryFile& file)
{
    registered_directory = file.directory;
    registered_name = file.name;
    registered = 1;
}

void unregister_hidden()
{
    registered = 0;
}

// A fresh ".vedad-XXXXXX" name from the system's random bytes.
void make_hidden_name(std::array<char, 16>& name)
{
    static constexpr char LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[HIDDEN_SUFFIX_LENGTH] = {};
    if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        // No random source: the process id and a counter still make names that differ.
        static unsigned counter = 0;
        const unsigned seed = static_cast<unsigned>(getpid()) * 7919u + counter++;
        for (int i = 0; i < HIDDEN_SUFFIX_LENGTH; ++i) random[i] = static_cast<unsigned char>(seed >> (i * 5));
    }
    std::memcpy(name.data(), HIDDEN_PREFIX, sizeof HIDDEN_PREFIX - 1);
    char* suffix = name.data() + sizeof HIDDEN_PREFIX - 1;
    for (int i = 0; i < HIDDEN_SUFFIX_LENGTH; ++i) suffix[i] = LETTERS[random[i] % (sizeof LETTERS - 1)];
    suffix[HIDDEN_SUFFIX_LENGTH] = '\0';
}

// Links an unnamed file to `name`. Linking by descriptor needs a privilege; through /proc
// any user may do it.
int link_unnamed(const TemporaryFile& file, const char* name)
{
    if (linkat(file.fd, "", file.directory, name, AT_EMPTY_PATH) == 0) return 0;
    if (errno != ENOENT && errno != EPERM) return errno;
    char proc_path[64];
    std::snprintf(proc_path, sizeof proc_path, "/proc/self/fd/%d", file.fd);
    return linkat(AT_FDCWD, proc_path, file.directory, name, AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// Gives an unnamed file a hidden name, registered for removal.
int name_unnamed(TemporaryFile& file)
{
    for (int attempt = 0; attempt < HIDDEN_NAME_ATTEMPTS; ++attempt) {
        make_hidden_name(file.name);
        const int error = link_unnamed(file, file.name.data());
        if (error == EEXIST) continue;
        if (error != 0) return error;
        file.hidden = true;
        register_hidden(file);
        return 0;
    }
    return EEXIST;
}

}  // namespace

TemporaryFile::~TemporaryFile()
{
    if (fd >= 0) close(fd);
    if (hidden) {
        const EndingSignalsHeld held;
        unlinkat(directory, name.data(), 0);
        unregister_hidden();
    }
}

int open_temporary_file(TemporaryFile& file, int directory)
{
    file.directory = directory;
    file.fd = openat(directory, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (file.fd >= 0) return 0;
    // File systems without unnamed files refuse them in one of these ways.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
    return open_hidden_temporary_file(file, directory);
}

bool open_unnamed_file_at(TemporaryFile& file, const char* path)
{
    file.directory = AT_FDCWD;
    file.fd = open(path, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    return file.fd >= 0;
}

int open_hidden_temporary_file(TemporaryFile& file, int directory)
{
    file.directory = directory;
    const EndingSignalsHeld held;
    for (int attempt = 0; attempt < HIDDEN_NAME_ATTEMPTS; ++attempt) {
        make_hidden_name(file.name);
        file.fd = openat(directory, file.name.data(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (file.fd >= 0) {
            file.hidden = true;
            register_hidden(file);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

int link_temporary_file(TemporaryFile& file, const char* name)
{
    if (!file.hidden) return link_unnamed(file, name);
    const EndingSignalsHeld held;
    if (renameat2(file.directory, file.name.data(), file.directory, name, RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS) return errno;
        // A file system without the no-replace rename: a hard link never replaces either.
        if (linkat(file.directory, file.name.data(), file.directory, name, 0) != 0) return errno;
        unlinkat(file.directory, file.name.data(), 0);
    }
    file.hidden = false;
    unregister_hidden();
    return 0;
}

int rename_temporary_file(TemporaryFile& file, const char* name)
{
    const EndingSignalsHeld held;
    if (!file.hidden) {
        const int error = name_unnamed(file);
        if (error != 0) return error;
    }
    if (renameat(file.directory, file.name.data(), file.directory, name) != 0) return errno;
    file.hidden = false;
    unregister_hidden();
    return 0;
}

void remove_temporary_file()
{
    if (registered == 0) return;
    unlinkat(registered_directory, registered_name.data(), 0);
    registered = 0;
}

}  // namespace vedad
