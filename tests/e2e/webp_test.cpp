// --type=webp and .webp names: lossless WebP pictures that decode to the PNG's very pixels.

#include <string>
#include <vector>

#include <png.h>
#include <webp/decode.h>

#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    bool operator==(const Pixels&) const = default;
};

Pixels decode_png(const std::string& bytes)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Pixels pixels;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return pixels;
    image.format = PNG_FORMAT_RGBA;
    pixels.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.rgba.data(), 0, nullptr)) return Pixels{};
    pixels.width = static_cast<int>(image.width);
    pixels.height = static_cast<int>(image.height);
    return pixels;
}

Pixels decode_webp(const std::string& bytes)
{
    Pixels pixels;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    uint8_t* decoded = WebPDecodeRGBA(data, bytes.size(), &pixels.width, &pixels.height);
    if (decoded == nullptr) return Pixels{};
    pixels.rgba.assign(decoded, decoded + static_cast<size_t>(pixels.width) * pixels.height * 4);
    WebPFree(decoded);
    return pixels;
}

bool is_webp(const std::string& bytes)
{
    return bytes.size() > 12 && bytes.compare(0, 4, "RIFF") == 0 && bytes.compare(8, 4, "WEBP") == 0;
}

bool is_png(const std::string& bytes)
{
    return bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0;
}

}  // namespace

TEST(WebP, DecodesToThePixelsOfThePng)
{
    const struct {
        std::vector<std::string> options;
        std::string input;
    } cases[] = {
        {{}, "plain text gjpqy\nand a second row\n"},
        {{"--transparent", "--foreground=0b5394"}, "on nothing, with its half-covered pixels\n"},
        {{"--ansi-input", "--transparent"}, "\x1b[41;97m white on red \x1b[0m \x1b[7mreverse\x1b[0m plain\n"},
        {{"--no-crop", "--size=1x1"}, "x\n"},
        {{"--no-crop", "--size=7x3", "--margin=1"}, "x\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        TempDir dir;
        write_file(dir / "a.txt", c.input);
        std::vector<std::string> arguments = c.options;
        arguments.push_back("a.txt");
        ASSERT_EQ(launch(dir.path(), arguments).status, 0);
        arguments.insert(arguments.begin(), "--type=webp");
        ASSERT_EQ(launch(dir.path(), arguments).status, 0);
        const std::string webp = read_file(dir / "a.webp");
        ASSERT_TRUE(is_webp(webp));
        const Pixels expected = decode_png(read_file(dir / "a.png"));
        ASSERT_GT(expected.width, 0);
        EXPECT_EQ(decode_webp(webp), expected);
    }
}

TEST(WebP, TheTypeOrTheOutputNameChoosesTheForm)
{
    const struct {
        std::vector<std::string> arguments;
        std::string written;  // the file, as the "writing" line names it
        bool webp;
    } cases[] = {
        {{"--type=webp", "a.txt"}, "a.webp", true},
        {{"--type=WEBP", "--output=out/", "a.txt"}, "out/a.webp", true},
        {{"--output=picture.webp", "a.txt"}, "picture.webp", true},
        {{"--output=picture.WebP", "a.txt"}, "picture.WebP", true},
        // --type= wins over the name.
        {{"--output=picture.png", "--type=webp", "a.txt"}, "picture.png", true},
        {{"--output=other.webp", "--type=png", "a.txt"}, "other.webp", false},
        {{"--output=photo.jpg", "a.txt"}, "photo.jpg", false},
        // Numbered in the type's extension, where the name is taken.
        {{"--type=webp", "taken.txt"}, "taken2.webp", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        TempDir dir;
        write_file(dir / "a.txt", "a\n");
        write_file(dir / "taken.txt", "t\n");
        write_file(dir / "taken.webp", "kept");
        const Outcome outcome = launch(dir.path(), c.arguments);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "writing " + c.written + "\n");
        const std::string bytes = read_file(dir / c.written);
        EXPECT_EQ(is_webp(bytes), c.webp);
        EXPECT_EQ(is_png(bytes), !c.webp);
        EXPECT_EQ(read_file(dir / "taken.webp"), "kept");
    }

    TempDir dir;
    write_file(dir / "a.txt", "a\n");
    Launch capturing;
    capturing.capture_out = true;
    const Outcome to_standard_output = launch(dir.path(), {"--type=webp", "--output=-", "a.txt"}, capturing);
    EXPECT_EQ(to_standard_output.status, 0);
    EXPECT_TRUE(is_webp(to_standard_output.out));
    const Outcome unknown = launch(dir.path(), {"--type=bmp", "a.txt"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.starts_with("error: --type= expects png, svg, webp or gif, as in --type=svg\n")) << unknown.err;
}
