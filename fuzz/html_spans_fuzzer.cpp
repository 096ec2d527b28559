// Feeds the whole input to the span HTML reader, drawing on a real (small) canvas.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_support.hpp"
#include "readers/html_spans.hpp"

namespace {

struct Page {
    const vedad_fuzz::PageSettings* settings;
    vedad::Canvas canvas;
    FILE* input;
    int32_t extent_x = 0;
    int32_t extent_y = 0;
};

void draw(void* context)
{
    Page& page = *static_cast<Page*>(context);
    vedad_fuzz::start_page(*page.settings, page.canvas);
    vedad::read_html_spans(page.canvas, page.input, page.settings->options, page.extent_x, page.extent_y);
    vedad_fuzz::finish_page(*page.settings, page.canvas, page.extent_x, page.extent_y);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    vedad_fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Page page{};
    page.settings = &vedad_fuzz::page_settings(size);
    page.input = vedad_fuzz::open_input(data, size);
    if (page.input == nullptr) return 0;
    // A font or rendering failure ends the program with its message; that is no finding.
    vedad_fuzz::run_trapping_exit(draw, &page);
    if (page.canvas.image != nullptr) vedad::canvas_destroy(page.canvas);
    std::fclose(page.input);
    return 0;
}
