#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gd.h>
#include <gtest/gtest.h>

#include "support/launch.hpp"

namespace vedad_test {

// Whether the tests run under AddressSanitizer, which reserves more address space than memory
// limits leave and must be loaded before any other library.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool UNDER_ASAN = true;
#else
inline constexpr bool UNDER_ASAN = false;
#endif

struct GdImageDeleter {
    void operator()(gdImagePtr image) const { gdImageDestroy(image); }
};
using Image = std::unique_ptr<gdImage, GdImageDeleter>;

// Decodes a PNG file into a true-colour image, whatever form it was written in; null when it is
// missing or not a PNG.
Image read_png(const std::filesystem::path& path);

// The colour type byte of a PNG's header: 2 for RGB, 6 for RGBA; -1 when unreadable.
int png_color_type(const std::filesystem::path& path);

// Whether a PNG keeps alpha: a colour type with an alpha channel, or a transparency chunk.
bool png_has_alpha(const std::filesystem::path& path);

// libgd's true-colour value of one pixel (alpha in bits 24-30).
int pixel(const Image& image, int x, int y);
inline int rgb(int r, int g, int b) { return gdTrueColor(r, g, b); }

std::string read_file(const std::filesystem::path& path);

// A text of tests/fixtures/cli with the version this build gives in place of @VERSION@ and
// @GD_MAJOR@.
std::string cli_fixture(const std::string& name);
void write_file(const std::filesystem::path& path, const std::string& contents);

// Sets an environment variable (or, with nullopt, unsets it) for as long as it lives.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

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

// A small tmpfs mounted at DIRECTORY/mnt for as long as it lives, where the test may mount one
// (as root); `mounted` says whether it could.
struct Tmpfs {
    std::filesystem::path point;
    bool mounted = false;
    Tmpfs(const std::filesystem::path& directory, const std::string& options);
    ~Tmpfs();
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;
};

using RunResult = Outcome;

// Runs the vedad binary in `directory` with `arguments`, feeding `input` on standard input.
// The environment is the test's own (GDFONTPATH points at the test fonts).
RunResult run_vedad(const std::filesystem::path& directory, const std::vector<std::string>& arguments,
                    const std::string& input = "");

// Span HTML of `rows`, one span per whole UTF-8 character or reference, each in colours of
// its own, and a line break after every row.
std::string span_page(const std::vector<std::string>& rows);

// The files of a directory, by name, sorted.
std::vector<std::string> list_directory(const std::filesystem::path& directory);

}  // namespace vedad_test

namespace vedad_test {

// Size of a text's bounding box as libgd measures it with no image at pen (0, 0)
// (lower-right x minus lower-left x, lower-right y minus upper-left y), and its lower-left y.
struct TextSize {
    int width = 0;
    int height = 0;
    int descent = 0;
};

// Measures `text` alone in `font` at `points`; fails the current test when libgd cannot.
TextSize measure_string(const std::string& font, double points, const std::string& text);

// The largest width and, apart, the largest height and the largest descent (0 or more) over
// the character cell sample (a-v, w, y, x, A-Z, 0-9, _ ! * @ ' and a space), each character
// measured alone.
TextSize measure_sample(const std::string& font, double points);

// What a plain text page must look like: a width x height true-colour image filled with
// `background`, each row drawn in one libgd call in `foreground` from x 0, row k on the
// baseline (k + 1) * line_height.
Image draw_rows(int width, int height, int background, int foreground, const std::string& font, double points,
                int line_height, const std::vector<std::string>& rows);

// "" when both images have the same size and pixels, else a description of the first difference.
std::string compare_images(const Image& actual, const Image& expected);

// Counts the pixels inside [x0, x1) x [y0, y1) (clipped to the image) that differ from `color`.
int count_other_pixels(const Image& image, int color, int x0, int y0, int x1, int y1);

}  // namespace vedad_test
