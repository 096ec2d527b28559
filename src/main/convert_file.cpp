#include "main/convert_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/clamp.hpp"
#include "base/fail.hpp"
#include "canvas/font_metrics.hpp"
#include "glyphs/glyph_path.hpp"
#include "main/fit_page.hpp"
#include "main/render_page.hpp"
#include "layout/frame.hpp"
#include "layout/line_numbers.hpp"
#include "output/announce_output.hpp"
#include "output/encode_png.hpp"
#include "output/output_path.hpp"
#include "output/write_file.hpp"

namespace vedad {

namespace {

void read_again(FILE* input, const char* input_name, off_t start)
{
    if (fseeko(input, start, SEEK_SET) != 0) fail("could not read %s again: %s", input_name, std::strerror(errno));
}

}  // namespace

void convert_file(const Options& options, Canvas& canvas, const char* operand)
{
    const bool from_stdin = std::strcmp(operand, "-") == 0;
    const char* input_name = from_stdin ? "standard input" : operand;
    if (options.verbose != 0) std::fprintf(stderr, "reading %s\n", input_name);

    FILE* input = from_stdin ? stdin : std::fopen(operand, "rb");
    if (input == nullptr) fail_errno("error: couldn't open file");

    // The font is chosen before the page is measured or drawn (a font file that is no regular
    // file is refused first) and named with --verbose, once per run.
    canvas.glyphs->fallback.verbose = options.verbose != 0;
    if (canvas_prepare_font(canvas) && options.verbose != 0 && !canvas.font.path.empty()) {
        if (canvas.font.index > 0) std::fprintf(stderr, "font: %s, face %d\n", canvas.font.path.c_str(), canvas.font.index);
        else std::fprintf(stderr, "font: %s\n", canvas.font.path.c_str());
    }

    canvas.input_name = input_name;
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
    canvas_create(canvas, size.width, size.height);
    TextExtent extent;
    render_page(canvas, page, input, extent);
    if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
    // Rows past what can show were counted, not kept: they reach below the picture.
    if (kept.rows_left_out > 0) {
        raise_extent_to(extent, 0, add_clamped(canvas.pen_y, (kept.rows_left_out - 1) * int64_t{canvas.line_height}));
    }
    cut_page(page, canvas, extent);
    if (scale > 1) {
        const int32_t width = clamp_to_int32(int64_t{gdImageSX(canvas.image)} * scale);
        const int32_t height = clamp_to_int32(int64_t{gdImageSY(canvas.image)} * scale);
        canvas_destroy(canvas);
        read_again(input, input_name, kept.start);
        canvas_create(canvas, width, height);
        // Its warnings were given by the page at scale 1.
        canvas.measuring = 1;
        render_page(canvas, options, input, extent);
        canvas.measuring = 0;
        if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
    }
    if (!from_stdin || kept.copied) std::fclose(input);
    if (options.frame.line_numbers != 0) add_line_numbers(canvas, options, extent);

    dress_page(options, canvas, from_stdin ? "" : basename(operand));
    make_output_directory(options);
    OutputPath output = make_output_path(options, operand);
    const EncodedPicture picture = encode_png(canvas.image);
    if (picture.bytes.empty()) fail_writing_output(options, output, "the PNG could not be encoded");
    // Prints the "writing" line: for a new name once the picture is complete under it.
    write_picture(options, output, picture.bytes.data(), picture.bytes.size());
    canvas_destroy(canvas);
}

}  // namespace vedad
