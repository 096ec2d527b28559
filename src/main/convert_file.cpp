#include "main/convert_file.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/clamp.hpp"
#include "base/fail.hpp"
#include "canvas/font_metrics.hpp"
#include "glyphs/glyph_path.hpp"
#include "main/fit_page.hpp"
#include "main/sized_canvas.hpp"
#include "main/split_pages.hpp"
#include "layout/frame.hpp"
#include "output/announce_output.hpp"
#include "output/encode_png.hpp"
#include "output/output_path.hpp"
#include "output/picture_type.hpp"
#include "output/write_file.hpp"

namespace vedad {

namespace {

// Draws the page read from `input` and writes its picture, page `page` of `operand`'s.
void convert_page(const Options& options, Canvas& canvas, FILE* input, const char* operand, int64_t page)
{
    const char* input_name = canvas.input_name;
    CanvasSize size{options.width, options.height};
    if (options.max_pixels_given != 0) size = held_to_budget(options, size);
    RereadableInput kept;
    if (options.fit != 0) {
        canvas_setup_cell(canvas);
        kept = make_rereadable(input, input_name, rows_that_can_show(options, canvas));
        input = kept.stream;
        size = measure_page(options, canvas, input);
        // The readers stop at a read error as at the end; a page cut short is no picture.
        if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
        if (fseeko(input, kept.start, SEEK_SET) != 0) {
            fail("could not read %s again: %s", input_name, std::strerror(errno));
        }
    }
    TextExtent extent;
    draw_page_on_sized_canvas(options, canvas, input, size, extent);
    if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
    if (kept.copied) std::fclose(input);
    // Rows past what can show were counted, not kept: they reach below the picture.
    if (kept.rows_left_out > 0) {
        raise_extent_to(extent, 0, add_clamped(canvas.pen_y, (kept.rows_left_out - 1) * int64_t{canvas.line_height}));
    }

    frame_picture(options, canvas, extent);
    make_output_directory(options);
    OutputPath output = make_page_output_path(options, operand, page);
    const PictureType type = picture_type(options);
    const EncodedPicture picture = encode_picture(canvas.image, type);
    if (picture.bytes.empty()) {
        fail_writing_output(options, output,
                            type == PictureType::WEBP ? "the WebP could not be encoded" : "the PNG could not be encoded");
    }
    // Prints the "writing" line: for a new name once the picture is complete under it.
    write_picture(options, output, picture.bytes.data(), picture.bytes.size());
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
    if (options.verbose != 0) std::fprintf(stderr, "reading %s\n", input_name);

    FILE* input = from_stdin ? stdin : std::fopen(operand, "rb");
    if (input == nullptr) fail_errno("error: couldn't open file");
    convert_stream(options, canvas, InputStream{input, input_name, operand, !from_stdin});
}

void convert_stream(const Options& options, Canvas& canvas, const InputStream& given)
{
    FILE* input = given.stream;
    const char* input_name = given.name;
    // The font is chosen before the page is measured or drawn (a font file that is no regular
    // file is refused first) and named with --verbose, once per run.
    canvas.glyphs->fallback.verbose = options.verbose != 0;
    if (canvas_prepare_font(canvas) && options.verbose != 0 && !canvas.font.path.empty()) {
        if (canvas.font.index > 0) std::fprintf(stderr, "font: %s, face %d\n", canvas.font.path.c_str(), canvas.font.index);
        else std::fprintf(stderr, "font: %s\n", canvas.font.path.c_str());
    }

    canvas.input_name = input_name;
    if (options.split_rows > 0) convert_pages(options, canvas, input, given.naming_operand);
    else convert_page(options, canvas, input, given.naming_operand, 1);
    if (given.owned) std::fclose(input);
}

}  // namespace vedad
