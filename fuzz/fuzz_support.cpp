#include "fuzz_support.hpp"

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <gd.h>

#include "canvas/font_metrics.hpp"
#include "glyphs/glyph_path.hpp"
#include "layout/crop.hpp"

extern "C" [[noreturn]] void __real_exit(int status);
extern "C" [[noreturn]] void __wrap_exit(int status);

namespace vedad_fuzz {

namespace {

std::jmp_buf* exit_trap = nullptr;
int trapped_status = 0;

}  // namespace

int run_trapping_exit(void (*body)(void* context), void* context)
{
    std::jmp_buf here;
    if (setjmp(here) != 0) return trapped_status;
    exit_trap = &here;
    body(context);
    exit_trap = nullptr;
    return -1;
}

void initialize(int* argc, char*** argv)
{
    setenv("GDFONTPATH", VEDAD_FUZZ_FONT_DIR, 1);

    for (int i = 1; i < *argc; ++i) {
        if (std::string_view((*argv)[i]).starts_with("-close_fd_mask=")) return;
    }
    // libFuzzer reads its flags after this call, so one more can be added here. The new
    // vector lives as long as the process.
    char** extended = new char*[*argc + 2];
    std::memcpy(extended, *argv, sizeof(char*) * static_cast<size_t>(*argc));
    extended[*argc] = const_cast<char*>("-close_fd_mask=2");
    extended[*argc + 1] = nullptr;
    *argv = extended;
    *argc += 1;
}

FILE* open_input(const uint8_t* data, size_t size)
{
    if (size == 0) return std::fopen("/dev/null", "rb");
    return fmemopen(const_cast<uint8_t*>(data), size, "rb");
}

namespace {

// Small pages keep the cost of an input low; the readers' arithmetic does not depend on it.
constexpr int32_t PAGE_WIDTH = 96;
constexpr int32_t PAGE_HEIGHT = 48;

PageSettings make_settings(int kind)
{
    PageSettings settings{};
    vedad::set_default_options(settings.options);
    settings.options.width = PAGE_WIDTH;
    settings.options.height = PAGE_HEIGHT;
    switch (kind) {
    case 1:
        settings.options.drawing.fixed_advance = 1;
        settings.options.drawing.char_spacing = INT32_MAX;
        settings.options.drawing.line_spacing = INT32_MIN;
        settings.options.drawing.tab_width = INT32_MAX;
        settings.handed_back = 1;
        break;
    case 2:
        settings.options.transparent = 1;
        settings.options.drawing.fixed_advance = 1;
        settings.options.drawing.char_spacing = -1000;
        settings.options.drawing.line_spacing = -1000;
        settings.options.drawing.tab_width = 0;
        break;
    case 3:
        settings.options.foreground = vedad::Rgb{0x12, 0x34, 0x56};
        settings.options.background = vedad::Rgb{0xfe, 0xdc, 0xba};
        settings.options.drawing.fixed_advance = 1;
        settings.options.drawing.char_spacing = 3;
        settings.options.drawing.line_spacing = INT32_MAX;
        settings.options.drawing.tab_width = 3;
        settings.handed_back = 1;
        break;
    default:
        break;
    }
    vedad::canvas_init(settings.canvas, settings.options.drawing);
    // The cell depends only on the font and the spacings: measured once, not per input.
    vedad::canvas_prepare_font(settings.canvas);
    vedad::canvas_setup_cell(settings.canvas);
    return settings;
}

}  // namespace

const PageSettings& page_settings(size_t input_size)
{
    static const PageSettings all[PAGE_SETTINGS_COUNT] = {make_settings(0), make_settings(1), make_settings(2),
                                                           make_settings(3)};
    return all[input_size % PAGE_SETTINGS_COUNT];
}

namespace {

struct PageRun {
    const PageSettings* settings;
    Reader reader;
    FILE* input;
    vedad::Canvas canvas;
    vedad::TextExtent extent;
};

void run_page(void* context)
{
    PageRun& run = *static_cast<PageRun*>(context);
    const vedad::Options& options = run.settings->options;
    vedad::canvas_create(run.canvas, options.width, options.height);
    if (options.transparent != 0) vedad::canvas_set_transparent_background(run.canvas);
    else vedad::canvas_set_background(run.canvas, options.background);
    vedad::canvas_set_foreground(run.canvas, options.foreground);
    vedad::canvas_move_to(run.canvas, 0, run.canvas.line_height);
    run.reader(run.canvas, run.input, *run.settings, run.extent);
    if (run.extent.x < 0 || run.extent.y < 0) __builtin_trap();
    vedad::crop_to_text(options, run.canvas, run.extent);
}

}  // namespace

Picture draw_page(const PageSettings& settings, bool draw_everything, const uint8_t* data, size_t size,
                  Reader reader)
{
    Picture picture;
    PageRun run{&settings, reader, open_input(data, size), settings.canvas, {}};
    if (run.input == nullptr) std::abort();
    run.canvas.glyphs->seams.draw_everything = draw_everything;
    // A font, colour or rendering failure ends the program with its message: no finding.
    picture.exit_status = run_trapping_exit(run_page, &run);
    std::fclose(run.input);
    gdImagePtr image = run.canvas.image;
    picture.unkept_text_moved_in = run.canvas.unkept_text_moved_in != 0;
    if (picture.exit_status == -1) {
        if (image == nullptr) __builtin_trap();
        picture.width = gdImageSX(image);
        picture.height = gdImageSY(image);
        if (picture.width < 1 || picture.width > settings.options.width || picture.height < 1 ||
            picture.height > settings.options.height)
            __builtin_trap();
        picture.pixels.reserve(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height));
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(gdImageGetTrueColorPixel(image, x, y));
    } else if (picture.exit_status != 1) {
        __builtin_trap();
    }
    if (image != nullptr) gdImageDestroy(image);
    return picture;
}

void draw_page_both_ways(const uint8_t* data, size_t size, Reader reader)
{
    const PageSettings& settings = page_settings(size);
    const Picture limited = draw_page(settings, false, data, size, reader);
    const Picture everything = draw_page(settings, true, data, size, reader);
    if (limited.unkept_text_moved_in || everything.unkept_text_moved_in) return;
    if (limited != everything) __builtin_trap();
}

}  // namespace vedad_fuzz

// Every call of exit in the linked objects lands here. Inside run_trapping_exit it becomes a
// jump back; anywhere else (libFuzzer's own exits) the process ends as asked.
extern "C" void __wrap_exit(int status)
{
    if (vedad_fuzz::exit_trap != nullptr) {
        std::jmp_buf* trap = vedad_fuzz::exit_trap;
        vedad_fuzz::exit_trap = nullptr;
        vedad_fuzz::trapped_status = status;
        std::longjmp(*trap, 1);
    }
    __real_exit(status);
}
