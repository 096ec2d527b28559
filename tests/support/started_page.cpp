#include "support/started_page.hpp"

#include "canvas/font_metrics.hpp"

namespace vedad_test {

using namespace vedad;

StartedPage::StartedPage(int width, int height, std::optional<int32_t> line_spacing)
{
    canvas_init(canvas);
    if (line_spacing) canvas.settings.line_spacing = *line_spacing;
    canvas_create(canvas, width, height);
    canvas_set_background(canvas, Rgb{0, 0, 0});
    canvas_set_foreground(canvas, Rgb{255, 255, 255});
    canvas_prepare_font(canvas);
    canvas_setup_cell(canvas);
}

StartedPage::~StartedPage()
{
    canvas_destroy(canvas);
}

Image StartedPage::copy() const
{
    const int width = gdImageSX(canvas.image);
    const int height = gdImageSY(canvas.image);
    Image image(gdImageCreateTrueColor(width, height));
    gdImageCopy(image.get(), canvas.image, 0, 0, 0, 0, width, height);
    return image;
}

}  // namespace vedad_test
