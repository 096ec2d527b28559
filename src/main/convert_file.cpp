#include "main/convert_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "base/clamp.hpp"
#include "base/fail.hpp"
#include "base/messages.hpp"
#include "canvas/drawing_record.hpp"
#include "canvas/font_metrics.hpp"
#include "glyphs/glyph_path.hpp"
#include "main/picture_write.hpp"
#include "main/convert_recording.hpp"
#include "main/fit_page.hpp"
#include "main/render_page.hpp"
#include "main/sized_canvas.hpp"
#include "main/split_pages.hpp"
#include "layout/frame.hpp"
#include "layout/line_numbers.hpp"
#include "output/encode_png.hpp"
#include "output/encode_svg.hpp"
#include "output/output_path.hpp"
#include "output/picture_type.hpp"
#include "output/webp_library.hpp"

namespace vedad {

namespace {

constexpr size_t INPUT_BUFFER_SIZE = size_t{1} << 16;

void read_again(FILE* input, const char* input_name, off_t start)
{
    if (fseeko(input, start, SEEK_SET) != 0) fail("could not read %s again: %s", input_name, std::strerror(errno));
}

// Draws the page read from `input` and writes its picture, page `page` of `operand`'s.
void convert_page(const Options& options, Canvas& canvas, FILE* input, const char* operand, int64_t page_number)
{
    const char* input_name = canvas.input_name;
    const PictureType type = picture_type(options);
    // An SVG is written from what the page draws, recorded as it is drawn.
    DrawingRecord record;
    canvas.record = type == PictureType::SVG ? &record : nullptr;
    canvas.noting_lines = options.frame.line_numbers != 0;
    // A page at scale N is laid out as at scale 1 and drawn again, N times as large.
    const int32_t scale = options.scale;
    Options page = options;
    page.scale = 1;
    if (scale > 1) page.max_pixels = std::max<int64_t>(options.max_pixels / (int64_t{scale} * scale), 1);
    CanvasSize size{page.width, page.height};
    if (page.max_pixels_given != 0) size = held_to_budget(page, size);
    RereadableInput kept;
    if (page.fit != 0) {
        setup_page_cell(canvas, page);
        kept = make_rereadable(input, input_name, rows_that_can_show(page, canvas));
        input = kept.stream;
        size = measure_page(page, canvas, input);
        // The readers stop at a read error as at the end; a page cut short is no picture.
        if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
        read_again(input, input_name, kept.start);
    } else if (scale > 1) {
        kept = make_rereadable(input, input_name, -1);
        input = kept.stream;
    }
    TextExtent extent;
    draw_page_on_sized_canvas(page, canvas, input, size, extent);
    if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
    // Rows past what can show were counted, not kept: they reach below the picture.
    if (kept.rows_left_out > 0) {
        raise_extent_to(extent, 0, add_clamped(canvas.pen_y, (kept.rows_left_out - 1) * int64_t{canvas.line_height}));
    }
    // A page with nothing around it is written straight from the canvas, with no copy of it.
    const bool dressed = page_is_dressed(options);
    const CanvasSize cut = cut_page(page, canvas, extent, dressed);
    if (scale > 1) {
        const int32_t width = clamp_to_int32(int64_t{gdImageSX(canvas.image)} * scale);
        const int32_t height = clamp_to_int32(int64_t{gdImageSY(canvas.image)} * scale);
        canvas_destroy(canvas);
        read_again(input, input_name, kept.start);
        canvas_create_for_page(canvas, width, height);
        // Its warnings were given by the page at scale 1.
        canvas.measuring = 1;
        render_page(canvas, options, input, extent);
        canvas.measuring = 0;
        if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
    }
    if (kept.copied) std::fclose(input);
    if (options.frame.line_numbers != 0) add_line_numbers(canvas, options, extent);

    dress_page(options, canvas, std::strcmp(operand, "-") == 0 ? "" : basename(operand));
    // Encoded before the name is claimed, so that with --jobs= files encode side by side. A
    // failure is still told after the folder and the name, as ever.
    const PictureArea area = dressed ? whole_image(canvas.image) : PictureArea{canvas.image, cut.width, cut.height};
    canvas.record = nullptr;
    if (type == PictureType::SVG && options.svg_glyphs != 0) record_outlines(record, canvas);
    EncodedPicture picture =
        type == PictureType::SVG ? encode_svg(SvgPicture{&record, area.width, area.height, input_name,
                                                         canvas_font_family(canvas)})
                                 : encode_picture(area, type);
    // With --jobs=, the files before this one are written first, so its name is claimed as
    // the serial run claims it.
    PictureWrite write{&options, operand, page_number, std::move(picture), nullptr, nullptr};
    write.failure = type == PictureType::WEBP  ? webp_failure()
                    : type == PictureType::GIF ? "the GIF could not be encoded"
                                               : "the PNG could not be encoded";
    write_in_turn(std::move(write));
    canvas_destroy(canvas);
}

// --split=: a picture of each page of rows, the first made even of an empty input.
void convert_pages(const Options& options, Canvas& canvas, FILE* input, const char* operand)
{
    const auto splitter = std::make_unique<PageSplitter>();
    splitter_init(*splitter, input, options.input_form, options.split_rows);
    int64_t page = 1;
    do {
        FILE* page_input = splitter_open_page(*splitter);
        if (page_input == nullptr) fail("could not read %s: %s", canvas.input_name, std::strerror(errno));
        convert_page(options, canvas, page_input, operand, page);
        std::fclose(page_input);
        if (std::ferror(input)) fail("could not read %s: %s", canvas.input_name, std::strerror(errno));
        ++page;
    } while (splitter_has_more(*splitter));
}

}  // namespace

void convert_file(const Options& options, Canvas& canvas, const char* operand)
{
    const bool from_stdin = std::strcmp(operand, "-") == 0;
    const char* input_name = from_stdin ? "standard input" : operand;
    if (options.verbose != 0) std::fprintf(messages(), "reading %s\n", input_name);

    FILE* input = from_stdin ? stdin : std::fopen(operand, "rb");
    if (input == nullptr) fail_errno("error: couldn't open file");
    // A file is read through a buffer larger than a small file: the look at its rows before
    // it is drawn (see sized_canvas.cpp) reads it in one call, and the drawing from memory.
    std::unique_ptr<char[]> buffer;
    if (!from_stdin) {
        buffer = std::make_unique_for_overwrite<char[]>(INPUT_BUFFER_SIZE);
        std::setvbuf(input, buffer.get(), _IOFBF, INPUT_BUFFER_SIZE);
    }
    // A failure that ends only this file (under --jobs=) closes it before its buffer goes.
    struct ClosedWhenFailing {
        FILE* file;
        ~ClosedWhenFailing()
        {
            if (file != nullptr && std::uncaught_exceptions() > 0) std::fclose(file);
        }
    } closed_when_failing{from_stdin ? nullptr : input};
    convert_stream(options, canvas, InputStream{input, input_name, operand, !from_stdin});
}

void convert_stream(const Options& options, Canvas& canvas, const InputStream& given)
{
    FILE* input = given.stream;
    const char* input_name = given.name;
    // The font is chosen before the page is measured or drawn (a font file that is no regular
    // file is refused first) and named with --verbose, once per run.
    canvas.glyphs->fallback.verbose = options.verbose != 0;
    canvas.glyphs->shapers.verbose = options.verbose != 0;
    if (canvas_prepare_font(canvas) && options.verbose != 0 && !canvas.font.path.empty()) {
        std::string line = "font: " + canvas.font.path;
        if (canvas.font.index > 0) line += ", face " + std::to_string(canvas.font.index);
        tell_once(line + "\n");
    }

    canvas.input_name = input_name;
    if (options.input_form == InputForm::RECORDING) convert_recording(options, canvas, input, given.naming_operand);
    else if (options.split_rows > 0) convert_pages(options, canvas, input, given.naming_operand);
    else convert_page(options, canvas, input, given.naming_operand, 1);
    if (given.owned) std::fclose(input);
}

}  // namespace vedad
