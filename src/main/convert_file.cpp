#include "main/convert_file.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/fail.hpp"
#include "main/render_page.hpp"
#include "output/crop.hpp"
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

    canvas_create(canvas, options.width, options.height);
    TextExtent extent;
    render_page(canvas, options, input, extent);
    // The readers stop at a read error as at the end; a page cut short is no picture.
    if (std::ferror(input)) fail("could not read %s: %s", input_name, std::strerror(errno));
    if (!from_stdin) std::fclose(input);

    if (options.crop != 0) crop_to_text(options, canvas, extent);
    const char* output_path = make_output_path(options, operand);
    std::fprintf(stderr, "writing %s\n", output_path);
    const PngBytes png = canvas_encode_png(canvas);
    if (png.data == nullptr) fail("could not write %s: the PNG could not be encoded", output_path);
    write_file(output_path, png.data.get(), png.size);
    canvas_destroy(canvas);
}

}  // namespace vedad
