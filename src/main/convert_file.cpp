#include "main/convert_file.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/fail.hpp"
#include "canvas/font_metrics.hpp"
#include "glyphs/glyph_path.hpp"
#include "main/fit_page.hpp"
#include "main/render_page.hpp"
#include "output/announce_output.hpp"
#include "layout/crop.hpp"
#include "layout/cut_text.hpp"
#include "output/output_path.hpp"
#include "output/write_file.hpp"

namespace vedad {

void convert_file(const Options& options, Canvas& canvas, const char* operand)
{
    const bool from_stdin = std::strcmp(operand, "-") == 0;
    const char* input_name = from_stdin ? "standard input" : operand;
    if (options.verbose != 0) std::fprintf(stderr, "reading %s\n", input_name);

    FILE* input = from_stdin ? stdin : std::fopen(operand, "rb");
    if (input == nullptr) fail_errno("error: couldn't open file");

    // The font is chosen before the page is measured or drawn (a font file that is no regular
    // file is refused first) and named with --verbose, once per run.
    if (canvas.glyphs != nullptr) canvas.glyphs->fallback.verbose = options.verbose != 0;
    if (canvas_prepare_font(canvas) && options.verbose != 0 && !canvas.font.path.empty()) {
        std::fprintf(stderr, "font: %s\n", canvas.font.path.c_str());
    }

    CanvasSize size{options.width, options.height};
    bool copied = false;
    if (options.fit != 0) {
        input = make_rereadable(input, input_name, copied);
        size = fitted_canvas_size(options, canvas, input);
        // The readers stop at a read error as at the end; a page cut short is no picture.
        if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
        std::rewind(input);
    }
    canvas_create(canvas, size.width, size.height);
    TextExtent extent;
    render_page(canvas, options, input, extent);
    if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
    if (!from_stdin || copied) std::fclose(input);

    warn_about_cut_text(options, canvas, extent);
    if (options.crop != 0) crop_to_text(options, canvas, extent);
    if (options.margin > 0) canvas_add_margin(canvas, options.margin);
    OutputPath output = make_output_path(options, operand);
    const PngBytes png = canvas_encode_png(canvas);
    if (png.data == nullptr) fail_writing_output(options, output, "the PNG could not be encoded");
    // Prints the "writing" line: for a new name once the picture is complete under it.
    write_picture(options, output, png.data.get(), png.size);
    canvas_destroy(canvas);
}

}  // namespace vedad
