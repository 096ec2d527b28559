#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gd.h>
#include <gtest/gtest.h>

namespace vedad_test {

struct GdImageDeleter {
    void operator()(gdImagePtr image) const { gdImageDestroy(image); }
};
using Image = std::unique_ptr<gdImage, GdImageDeleter>;

// Decodes a PNG file; null when it is missing or not a PNG.
Image read_png(const std::filesystem::path& path);

// The colour type byte of a PNG's header: 2 for RGB, 6 for RGBA; -1 when unreadable.
int png_color_type(const std::filesystem::path& path);

// libgd's true-colour value of one pixel (alpha in bits 24-30).
int pixel(const Image& image, int x, int y);
inline int rgb(int r, int g, int b) { return gdTrueColor(r, g, b); }

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& contents);

// A fresh directory that is removed with everything in it when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

struct RunResult {
    int status = -1;  // exit status, or -1 when the process died of a signal
    int signal = 0;
    std::string err;  // all that was written on standard error
};

// Runs the vedad binary in `directory` with `arguments`, feeding `input` on standard input.
// The environment is the test's own (GDFONTPATH points at the test fonts).
RunResult run_vedad(const std::filesystem::path& directory, const std::vector<std::string>& arguments,
                    const std::string& input = "");

// The files of a directory, by name, sorted.
std::vector<std::string> list_directory(const std::filesystem::path& directory);

}  // namespace vedad_test
