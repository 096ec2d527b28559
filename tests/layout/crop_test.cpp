#include "layout/crop.hpp"

#include <cstdint>
#include <string>

#include "support/messages.hpp"
#include "support/test_support.hpp"

using namespace vedad;
using namespace vedad_test;

namespace {

constexpr int32_t WIDTH = 100;
constexpr int32_t HEIGHT = 50;

// A different colour for every pixel, so that a shifted copy shows.
int pattern(int x, int y)
{
    return rgb(x * 2, y * 4, (x + y) % 256);
}

struct Page {
    Options options;
    Canvas canvas;
    explicit Page(int32_t verbose)
    {
        set_default_options(options);
        options.width = WIDTH;
        options.height = HEIGHT;
        options.verbose = verbose;
        canvas_init(canvas);
        canvas_create(canvas, WIDTH, HEIGHT);
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x) gdImageSetPixel(canvas.image, x, y, pattern(x, y));
    }
    ~Page() { canvas_destroy(canvas); }
};

const std::string& TALL = TOO_TALL_WARNING;
const std::string& EMPTY = EMPTY_CROP_WARNING;

}  // namespace

// The height keeps the lowest baseline's row whole: the baseline, the descent below it and
// the baseline's own row.
TEST(Crop, CutsToTheExtentKeepingTheTopLeftCornerAndTheLastRowsDescent)
{
    struct Case {
        int32_t extent_x;
        int32_t extent_y;
        int32_t descent;
        int32_t width;   // of the image afterwards
        int32_t height;
        std::string verbose_err;
    };
    const Case cases[] = {
        {30, 12, 0, 30, 13, "cropping image to 30x13 pixels\n"},
        {30, 12, 3, 30, 16, "cropping image to 30x16 pixels\n"},
        {1, 1, 0, 1, 2, "cropping image to 1x2 pixels\n"},
        {WIDTH, HEIGHT - 4, 3, WIDTH, HEIGHT, "cropping image to 100x50 pixels\n"},  // just fits
        {WIDTH + 1, 12, 3, WIDTH, 16, "cropping image to 100x16 pixels\n"},       // wider: no warning
        // Only the descent of the last row is cut: the image is too small all the same.
        {30, HEIGHT - 3, 3, 30, HEIGHT, std::string(TALL) + "cropping image to 30x50 pixels\n"},
        {30, HEIGHT + 1, 0, 30, HEIGHT, std::string(TALL) + "cropping image to 30x50 pixels\n"},
        {5000, 5000, 3, WIDTH, HEIGHT, std::string(TALL) + "cropping image to 100x50 pixels\n"},
        {30, INT32_MAX, INT32_MAX, 30, HEIGHT, std::string(TALL) + "cropping image to 30x50 pixels\n"},
        // An extent without width or without height leaves the image whole; no baseline
        // below the top edge is no height, whatever the descent.
        {0, 0, 3, WIDTH, HEIGHT, std::string("cropping image to 0x0 pixels\n") + EMPTY},
        {0, 12, 3, WIDTH, HEIGHT, std::string("cropping image to 0x16 pixels\n") + EMPTY},
        {30, 0, 3, WIDTH, HEIGHT, std::string("cropping image to 30x0 pixels\n") + EMPTY},
        {0, HEIGHT + 1, 0, WIDTH, HEIGHT, std::string(TALL) + "cropping image to 0x50 pixels\n" + EMPTY},
    };
    for (const Case& c : cases) {
        for (const int32_t verbose : {0, 1}) {
            SCOPED_TRACE(testing::Message() << c.extent_x << "x" << c.extent_y << " descent " << c.descent
                                            << " verbose " << verbose);
            Page page(verbose);
            page.canvas.descent = c.descent;
            testing::internal::CaptureStderr();
            crop_to_text(page.options, page.canvas, TextExtent{c.extent_x, c.extent_y});
            EXPECT_EQ(testing::internal::GetCapturedStderr(), verbose != 0 ? c.verbose_err : "");

            ASSERT_EQ(gdImageSX(page.canvas.image), c.width);
            ASSERT_EQ(gdImageSY(page.canvas.image), c.height);
            int wrong = 0;
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x)
                    if (gdImageGetTrueColorPixel(page.canvas.image, x, y) != pattern(x, y)) ++wrong;
            EXPECT_EQ(wrong, 0);
        }
    }
}

// A canvas the size of its text (as --fit makes it) is kept, not copied: a copy would double
// the memory of the largest pictures.
TEST(Crop, KeepsAnImageThatIsAlreadyTheSizeOfItsText)
{
    Page full(0);
    const gdImagePtr before = full.canvas.image;
    crop_to_text(full.options, full.canvas, TextExtent{WIDTH, HEIGHT - 1});
    EXPECT_EQ(full.canvas.image, before);

    Page empty(0);
    const gdImagePtr untouched = empty.canvas.image;
    crop_to_text(empty.options, empty.canvas, TextExtent{0, 0});
    EXPECT_EQ(empty.canvas.image, untouched);
}
