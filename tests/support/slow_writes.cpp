// Loaded with LD_PRELOAD into a run under test: every positioned write puts at most a few
// hundred bytes and then waits a little, so that two runs writing one file at once would
// interleave their writes if nothing kept them apart.
#include <dlfcn.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>

namespace {

constexpr size_t PIECE = 256;
constexpr useconds_t PAUSE = 1000;

using Pwrite = ssize_t (*)(int, const void*, size_t, off_t);

ssize_t slow(const char* name, int fd, const void* data, size_t size, off_t offset)
{
    static auto real = reinterpret_cast<Pwrite>(dlsym(RTLD_NEXT, name));
    const ssize_t written = real(fd, data, std::min(size, PIECE), offset);
    usleep(PAUSE);
    return written;
}

}  // namespace

extern "C" ssize_t pwrite(int fd, const void* data, size_t size, off_t offset)
{
    return slow("pwrite", fd, data, size, offset);
}

extern "C" ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset)
{
    return slow("pwrite64", fd, data, size, offset);
}
