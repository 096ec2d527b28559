// Draws random text in a random face, size and pen both ways, through libgd's text call and
// through the glyph path, on small pages prepared as the canvas prepares them, and measures
// it both ways with no image; traps unless the pixels, boxes and errors are the same.
//
// Input: one byte picks the face, one the size, four the pen, one the page and colour;
// the rest, up to its first NUL, is the text.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gd.h>

#include "base/owned_image.hpp"
#include "glyphs/glyph_path.hpp"
#include "glyphs/text_decoding.hpp"
#include "fuzz_support.hpp"

namespace {

// The fuzzers' font directory holds these (see CMakeLists.txt).
constexpr const char* FACES[] = {"Courier",        "FreeSans",   "FreeSerif",
                                 "DejaVuSansMono", "DejaVuSans", "NimbusMonoPS-Regular.otf"};
constexpr size_t FACE_COUNT = sizeof FACES / sizeof FACES[0];

constexpr int WIDTH = 48;
constexpr int HEIGHT = 32;

// The glyph cache lives across inputs, as across the texts of a run, and starts again now
// and then so that its memory stays bounded.
constexpr int INPUTS_PER_CACHE = 2000;

using Image = vedad::OwnedImage;

Image make_page(uint8_t page)
{
    Image image(gdImageCreateTrueColor(WIDTH, HEIGHT));
    const bool transparent = (page & 1) != 0;
    gdImageAlphaBlending(image.get(), 0);
    const int background = transparent ? gdTrueColorAlpha(0, 0, 0, gdAlphaTransparent)
                                       : gdTrueColorAlpha(page, 255 - page, 40, (page >> 2) & 1 ? 30 : 0);
    gdImageFilledRectangle(image.get(), 0, 0, WIDTH, HEIGHT, background);
    gdImageAlphaBlending(image.get(), (page & 2) != 0 ? 0 : 1);
    return image;
}

// Points from 0.5 to 80 in steps of a half, and a few beyond what the cache takes.
double point_size(uint8_t byte)
{
    if (byte >= 250) return 150.0 + 30.0 * (byte - 250);
    return 0.5 + 0.5 * (byte % 160);
}

// Pens mostly near the page, some far off it.
int pen(uint8_t high, uint8_t low, int span)
{
    const int value = static_cast<int16_t>((high << 8) | low);
    return (high & 0x40) != 0 ? value : value % (2 * span) - span / 2;
}

bool same(const char* a, const char* b)
{
    if (a == nullptr || b == nullptr) return a == b;
    return std::string(a) == b;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    vedad_fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto path = std::make_unique<vedad::GlyphPath>();
    static int inputs = 0;
    if (++inputs % INPUTS_PER_CACHE == 0) path = std::make_unique<vedad::GlyphPath>();
    if (size < 7) return 0;
    // libgd draws a letter and its combining marks mark by mark: the glyph path is compared
    // with it unshaped.
    path->seams.unshaped = true;
    const char* font = FACES[data[0] % FACE_COUNT];
    const double points = point_size(data[1]);
    const int x = pen(data[2], data[3], WIDTH);
    const int y = pen(data[4], data[5], HEIGHT);
    const uint8_t page = data[6];
    const std::string text(reinterpret_cast<const char*>(data + 7), size - 7);
    // A well-formed four-byte character is one character here and four to libgd: such texts
    // are not libgd's to judge.
    static std::vector<uint32_t> characters;
    if (vedad::decode_text(text.c_str(), characters) &&
        std::any_of(characters.begin(), characters.end(), [](uint32_t c) { return c > 0xFFFF; })) {
        return 0;
    }
    const int color = gdTrueColorAlpha(255 - page, page, 200, (page & 0x08) != 0 ? (page >> 4) * 8 : 0);

    Image expected = make_page(page);
    Image actual = make_page(page);
    for (bool drawing : {true, false}) {
        std::array<int, 8> expected_box{1, 2, 3, 4, 5, 6, 7, 8};
        std::array<int, 8> actual_box = expected_box;
        const char* expected_error = gdImageStringFT(drawing ? expected.get() : nullptr, expected_box.data(), color,
                                                     font, points, 0.0, x, y, text.c_str());
        const char* actual_error = vedad::glyph_path_string(*path, drawing ? actual.get() : nullptr,
                                                            actual_box.data(), color, font, points, x, y, text.c_str());
        if (!same(expected_error, actual_error) || expected_box != actual_box) __builtin_trap();
    }
    for (int row = 0; row < HEIGHT; ++row) {
        for (int col = 0; col < WIDTH; ++col) {
            if (expected->tpixels[row][col] != actual->tpixels[row][col]) __builtin_trap();
        }
    }
    return 0;
}
