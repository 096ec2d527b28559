#include "support/test_support.hpp"

#include "support/launch.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vedad_test {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void write_file(const fs::path& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary);
    out << contents;
}

Image read_png(const fs::path& path)
{
    std::string data = read_file(path);
    if (data.empty()) return nullptr;
    Image image(gdImageCreateFromPngPtr(static_cast<int>(data.size()), data.data()));
    // A picture of few colours is written with a palette; tests read and draw on its pixels.
    if (image != nullptr && !image->trueColor) {
        gdImagePaletteToTrueColor(image.get());
        gdImageAlphaBlending(image.get(), 1);  // as a true-colour image starts
    }
    return image;
}

bool png_has_alpha(const fs::path& path)
{
    const int type = png_color_type(path);
    if (type == 4 || type == 6) return true;
    const std::string data = read_file(path);
    const size_t pixels = data.find("IDAT");
    const size_t transparency = data.find("tRNS");
    return transparency != std::string::npos && transparency < pixels;
}

Tmpfs::Tmpfs(const fs::path& directory, const std::string& options) : point(directory / "mnt")
{
    fs::create_directory(point);
    mounted = mount("vedad-test", point.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

Tmpfs::~Tmpfs()
{
    if (mounted) umount2(point.c_str(), MNT_DETACH);
}

int png_color_type(const fs::path& path)
{
    std::string data = read_file(path);
    // Signature (8), IHDR length and type (8), width and height (8), bit depth (1).
    if (data.size() < 26) return -1;
    return static_cast<unsigned char>(data[25]);
}

int pixel(const Image& image, int x, int y)
{
    return gdImageGetTrueColorPixel(image.get(), x, y);
}

ScopedVariable::ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name)
{
    if (const char* old = std::getenv(name)) saved_ = old;
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
}

ScopedVariable::~ScopedVariable()
{
    if (saved_) setenv(name_, saved_->c_str(), 1);
    else unsetenv(name_);
}

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "vedad-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored))
        if (entry.is_directory(ignored)) fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::string cli_fixture(const std::string& name)
{
    std::string text = read_file(std::string(VEDAD_FIXTURE_DIR) + "/cli/" + name);
    const std::pair<std::string, std::string> fields[] = {{"@VERSION@", VEDAD_VERSION},
                                                         {"@GD_MAJOR@", std::to_string(VEDAD_GD_MAJOR)}};
    for (const auto& [field, value] : fields) {
        for (size_t at; (at = text.find(field)) != std::string::npos;) text.replace(at, field.size(), value);
    }
    return text;
}

RunResult run_vedad(const fs::path& directory, const std::vector<std::string>& arguments, const std::string& input)
{
    Launch how;
    how.input = input;
    return launch(directory, arguments, how);
}

std::string span_page(const std::vector<std::string>& rows)
{
    std::string html;
    int n = 0;
    for (const std::string& row : rows) {
        for (size_t at = 0; at < row.size();) {
            // Whole UTF-8 characters, by their first byte, and references whole.
            const unsigned char lead = static_cast<unsigned char>(row[at]);
            size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;
            if (lead == '&') length = row.find(';', at) - at + 1;
            const std::string c = row.substr(at, length);
            at += length;
            char style[80];
            std::snprintf(style, sizeof style, "<span style='color:#%02x%02x%02x; background-color:#%02x%02x%02x'>",
                          (n * 37) & 0xff, (n * 91) & 0xff, 0xf0, (n * 13) & 0x3f, 0x10, (n * 7) & 0x3f);
            ++n;
            html += style;
            html += c == " " ? std::string("&nbsp;") : c == "<" ? std::string("&lt;") : c;
            html += "</span>";
        }
        html += "<br/>\n";
    }
    return html;
}

std::vector<std::string> list_directory(const fs::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vedad_test

namespace vedad_test {

TextSize measure_string(const std::string& font, double points, const std::string& text)
{
    int box[8] = {};
    std::string font_list = font;
    std::string copy = text;
    const char* error = gdImageStringFT(nullptr, box, 0, font_list.data(), points, 0.0, 0, 0, copy.data());
    if (error != nullptr) ADD_FAILURE() << "libgd could not measure with " << font << ": " << error;
    return TextSize{box[2] - box[0], box[3] - box[7], box[1]};
}

TextSize measure_sample(const std::string& font, double points)
{
    const std::string sample = "abcdefghijklmnopqrstuv" "wyx" "ABCDEFGHIJKLMNOPQRSTUVWXYZ" "0123456789" "_!*@' ";
    TextSize largest;
    for (char c : sample) {
        TextSize size = measure_string(font, points, std::string(1, c));
        largest.width = std::max(largest.width, size.width);
        largest.height = std::max(largest.height, size.height);
        largest.descent = std::max(largest.descent, size.descent);
    }
    return largest;
}

Image draw_rows(int width, int height, int background, int foreground, const std::string& font, double points,
                int line_height, const std::vector<std::string>& rows)
{
    Image image(gdImageCreateTrueColor(width, height));
    gdImageFilledRectangle(image.get(), 0, 0, width, height, background);
    std::string font_list = font;
    int baseline = 0;
    for (const std::string& row : rows) {
        baseline += line_height;
        int box[8] = {};
        std::string copy = row;
        const char* error =
            gdImageStringFT(image.get(), box, foreground, font_list.data(), points, 0.0, 0, baseline, copy.data());
        if (error != nullptr) ADD_FAILURE() << "libgd could not draw with " << font << ": " << error;
    }
    return image;
}

std::string compare_images(const Image& actual, const Image& expected)
{
    if (actual == nullptr || expected == nullptr) return "missing image";
    const int width = gdImageSX(expected.get());
    const int height = gdImageSY(expected.get());
    std::ostringstream out;
    if (gdImageSX(actual.get()) != width || gdImageSY(actual.get()) != height) {
        out << "size " << gdImageSX(actual.get()) << "x" << gdImageSY(actual.get()) << ", expected " << width << "x"
            << height;
        return out.str();
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (pixel(actual, x, y) != pixel(expected, x, y)) {
                out << std::hex << "pixel (" << std::dec << x << ", " << y << ") is 0x" << std::hex
                    << pixel(actual, x, y) << ", expected 0x" << pixel(expected, x, y);
                return out.str();
            }
        }
    }
    return "";
}

int count_other_pixels(const Image& image, int color, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, gdImageSY(image.get())); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, gdImageSX(image.get())); ++x)
            if (pixel(image, x, y) != color) ++count;
    return count;
}

}  // namespace vedad_test
