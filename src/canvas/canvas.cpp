#include "canvas/canvas.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "main/fail.hpp"

namespace vedad {

namespace {

gdImagePtr create_image_or_fail(int32_t width, int32_t height)
{
    gdImagePtr image = gdImageCreateTrueColor(width, height);
    if (image == nullptr) fail("error: could not create an image of %dx%d pixels\n", width, height);
    return image;
}

void fill_background(Canvas& canvas, int32_t color)
{
    canvas.background_color = color;
    if (color == -1) fail("error: could not allocate RGBA value for background\n");
    gdImageFilledRectangle(canvas.image, 0, 0, gdImageSX(canvas.image), gdImageSY(canvas.image), color);
}

struct GdBuffer {
    void operator()(void* data) const { gdFree(data); }
};

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
        fail("error: could not write %s: %s\n", path, problem);
    }
    if (rename(temporary.c_str(), target.get()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

void canvas_init(Canvas& canvas)
{
    canvas.tab_width = 8;
    canvas.fixed_advance = 0;
    canvas.bold = 0;
    canvas.line_spacing = 2;
    canvas.char_spacing = 0;
    canvas.pen_x = 0;
    canvas.pen_y = 0;
    canvas.cell_width = 0;
    canvas.line_height = 0;
    canvas.font_size = 0.025;
    canvas.font_name = "default";
    canvas.image = nullptr;
    canvas.size_scale = 280.0;
    canvas.background_color = 0;
    canvas.foreground_color = 0;
    canvas.pixel_format = PIXEL_FORMAT_ARGB32;
}

void canvas_create(Canvas& canvas, int32_t width, int32_t height)
{
    canvas.image = create_image_or_fail(width, height);
}

void canvas_destroy(Canvas& canvas)
{
    gdImageDestroy(canvas.image);
    canvas.image = nullptr;
}

void canvas_resize(Canvas& canvas, int32_t width, int32_t height)
{
    gdImagePtr resized = create_image_or_fail(width, height);
    // Copy pixels exactly, alpha included: blending would lay a transparent background
    // over the new image's opaque black.
    gdImageAlphaBlending(resized, 0);
    gdImageCopy(resized, canvas.image, 0, 0, 0, 0, width, height);
    gdImageAlphaBlending(resized, 1);
    gdImageSaveAlpha(resized, canvas.image->saveAlphaFlag);
    gdImageDestroy(canvas.image);
    canvas.image = resized;
}

void canvas_write_png(Canvas& canvas, const char* path)
{
    // Encode in memory first, so that an encoder failure is seen before any file is touched.
    int size = 0;
    std::unique_ptr<void, GdBuffer> png(gdImagePngPtr(canvas.image, &size));
    if (png == nullptr || size <= 0) fail("error: could not write %s: the PNG could not be encoded\n", path);

    if (replace_regular_file(path, png.get(), static_cast<size_t>(size))) return;

    bool created = false;
    FILE* file = open_for_writing(path, created);
    if (file == nullptr) fail_errno("could not open file for writing");
    const char* problem = write_and_close(file, png.get(), static_cast<size_t>(size));
    if (problem != nullptr) {
        // A half-written file that this run made must not pass for a picture.
        if (created) unlink(path);
        fail("error: could not write %s: %s\n", path, problem);
    }
}

void canvas_set_foreground(Canvas& canvas, const Rgb& rgb)
{
    canvas.foreground_color = gdImageColorAllocateAlpha(canvas.image, rgb.r, rgb.g, rgb.b, 0);
    if (canvas.foreground_color == -1) fail("error: could not allocate RGBA value for foreground\n");
}

void canvas_set_background(Canvas& canvas, const Rgb& rgb)
{
    fill_background(canvas, gdImageColorAllocateAlpha(canvas.image, rgb.r, rgb.g, rgb.b, 0));
}

void canvas_set_transparent_background(Canvas& canvas)
{
    int32_t color = gdImageColorAllocateAlpha(canvas.image, 0, 0, 0, gdAlphaTransparent);
    // Blending a transparent fill onto the fresh opaque image would change nothing, and
    // libgd drops alpha on output unless told to keep it.
    gdImageAlphaBlending(canvas.image, 0);
    fill_background(canvas, color);
    gdImageAlphaBlending(canvas.image, 1);
    gdImageSaveAlpha(canvas.image, 1);
}

void canvas_fill_rect(Canvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    gdImageFilledRectangle(canvas.image, x1, y1, x2, y2, canvas.foreground_color);
}

void canvas_move_to(Canvas& canvas, int32_t x, int32_t y)
{
    canvas.pen_x = x;
    canvas.pen_y = y;
}

std::pair<int32_t, int32_t> canvas_position(const Canvas& canvas)
{
    return {canvas.pen_x, canvas.pen_y};
}

const char* pixel_format_name(const Canvas& canvas)
{
    switch (canvas.pixel_format) {
    case PIXEL_FORMAT_A8: return "A8";
    case PIXEL_FORMAT_RGB24: return "RGB24";
    case PIXEL_FORMAT_ARGB32: return "ARGB32";
    default: return "UNKNOWN";
    }
}

double canvas_point_size(const Canvas& canvas)
{
    const double points = canvas.font_size * canvas.size_scale;
    // Written so that a NaN fails the test too.
    return std::fabs(points) <= MAX_POINT_SIZE ? points : MAX_POINT_SIZE;
}

}  // namespace vedad
