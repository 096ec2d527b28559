// Cropping keeps every pixel the text drew: the cropped picture is the top-left corner of the
// uncropped one, and nothing outside that corner differs from the background.

#include <string>
#include <vector>

#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

// Converts `input` once cropped and once whole; "" when the cropped picture holds all the ink.
std::string ink_lost_by_cropping(const std::vector<std::string>& options, const std::string& input)
{
    TempDir dir;
    write_file(dir / "in.txt", input);
    std::vector<std::string> cropped = options, whole = options;
    cropped.insert(cropped.end(), {"--output=cropped.png", "in.txt"});
    whole.insert(whole.end(), {"--no-crop", "--output=whole.png", "in.txt"});
    for (const auto* arguments : {&cropped, &whole}) {
        const RunResult result = run_vedad(dir.path(), *arguments);
        if (result.status != 0) return "the run failed: " + result.err;
    }
    const Image part = read_png(dir / "cropped.png");
    const Image page = read_png(dir / "whole.png");
    if (part == nullptr || page == nullptr) return "a picture is missing";
    const int width = gdImageSX(part.get());
    const int height = gdImageSY(part.get());
    if (width >= gdImageSX(page.get()) && height >= gdImageSY(page.get())) return "the page was not cropped";
    const int background = pixel(page, gdImageSX(page.get()) - 1, gdImageSY(page.get()) - 1);
    for (int y = 0; y < gdImageSY(page.get()); ++y) {
        for (int x = 0; x < gdImageSX(page.get()); ++x) {
            const bool inside = x < width && y < height;
            if (inside && pixel(part, x, y) != pixel(page, x, y))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") changed";
            if (!inside && pixel(page, x, y) != background)
                return "ink at (" + std::to_string(x) + ", " + std::to_string(y) + ") was cut off";
        }
    }
    return "";
}

}  // namespace

TEST(Cropping, KeepsAllTheInkOfTheLastRowBelowItsBaseline)
{
    const std::string spans = "<span>p</span><span>i</span><span>g</span><br/>"
                              "<span style='color:#000000; background-color:#40c0ff'>q</span>"
                              "<span>j</span><span>y</span><span>,</span>";
    const struct {
        const char* name;
        std::vector<std::string> options;
        std::string input;
    } cases[] = {
        {"a bottom row of pig", {}, "pig\n"},
        {"deep descenders", {"--font=FreeSerif", "--font-size=0.1"}, "Apex\npig gjpqy_,;\n"},
        {"rows overlapping by a negative line spacing", {"--linespacing=-4"}, "ABC\npig\njpq,\n"},
        {"spans: a bottom row of pig on cells", {"--html-input"}, spans},
        {"spans: deep descenders", {"--html-input", "--font=FreeSerif", "--font-size=0.1"}, spans},
        {"spans: a negative line spacing", {"--html-input", "--linespacing=-4"}, spans},
        {"spans: fixed cells", {"--html-input", "--fixed", "--font-size=0.1"}, spans},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ink_lost_by_cropping(c.options, c.input), "") << c.name;
    }
}
