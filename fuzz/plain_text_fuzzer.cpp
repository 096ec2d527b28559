// Feeds the whole input to the plain text reader, drawing on a real (small) canvas. Some
// settings hand the first byte back, as the span HTML reader does for input it does not take.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_support.hpp"
#include "readers/plain_text.hpp"

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
    int first = 0;
    if (page.settings->handed_back != 0) {
        first = std::fgetc(page.input);
        if (first == EOF) first = 0;
    }
    vedad::read_plain_text(page.canvas, page.input, page.extent_x, page.extent_y, first);
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
    vedad_fuzz::run_trapping_exit(draw, &page);
    if (page.canvas.image != nullptr) vedad::canvas_destroy(page.canvas);
    std::fclose(page.input);
    return 0;
}
