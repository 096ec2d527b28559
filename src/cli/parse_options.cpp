#include "cli/parse_options.hpp"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "cli/help_text.hpp"
#include "base/hex_color.hpp"
#include "cli/numbers.hpp"
#include "cli/refuse_option.hpp"
#include "cli/theme_option.hpp"

namespace vedad {

namespace {

// The text after `prefix` when `argument` begins with it, else null.
const char* value_after(const char* argument, const char* prefix)
{
    const size_t length = std::strlen(prefix);
    return std::strncmp(argument, prefix, length) == 0 ? argument + length : nullptr;
}

// "--name=%s" as scanf reads it: blanks skipped, then at least one non-blank character.
// Only the first six characters of a colour count, after an optional '#'. The value is kept,
// by reference, for the warning about colours that do not read as six digits.
bool scan_color(const char* argument, const char* prefix, Rgb& rgb, const char*& given)
{
    const char* value = value_after(argument, prefix);
    ColorText color;
    if (value == nullptr || !read_color_text(value, color)) return false;
    parse_hex_color(color.data(), rgb);
    given = value;
    return true;
}

// "--size=%dx%d" as scanf reads it, with numbers held to the 32-bit range.
bool scan_size(const char* argument, Options& options)
{
    const char* value = value_after(argument, "--size=");
    int32_t width = 0;
    int32_t height = 0;
    const char* end = nullptr;
    if (value == nullptr || !scan_int_clamped(value, width, end) || *end != 'x') return false;
    if (!scan_int_clamped(end + 1, height, end)) return false;
    options.width = width;
    options.height = height;
    options.size_given = 1;
    return true;
}

// --width= or --height=: one side of the canvas, as atoi reads it.
void set_side(Options& options, int32_t& side, const char* value)
{
    side = parse_int_clamped(value);
    options.size_given = 1;
}

bool scan_font_size(const char* argument, DrawingSettings& drawing)
{
    const char* value = value_after(argument, "--font-size=");
    double size = 0.0;
    if (value == nullptr || std::sscanf(value, "%lf", &size) != 1) return false;
    drawing.font_size = size;
    return true;
}

void set_pixel_format(DrawingSettings& drawing, const char* value)
{
    if (strcasecmp(value, "argb32") == 0) drawing.pixel_format = PIXEL_FORMAT_ARGB32;
    else if (strcasecmp(value, "rgb24") == 0) drawing.pixel_format = PIXEL_FORMAT_RGB24;
    else if (strcasecmp(value, "a8") == 0) drawing.pixel_format = PIXEL_FORMAT_A8;
}

[[noreturn]] void exit_after(void (*print)())
{
    print();
    std::exit(0);
}

void parse_option(const char* argument, Options& options)
{
    DrawingSettings& drawing = options.drawing;
    auto is = [argument](const char* name) { return std::strcmp(argument, name) == 0; };
    const char* value = nullptr;

    if (is("--help") || is("-h")) exit_after(print_usage);
    if (is("--version") || is("-V")) exit_after(print_version);
    if (is("--fixed")) drawing.fixed_advance = 1;
    else if (is("--verbose") || is("-v")) options.verbose = 1;
    else if (is("--html-input")) options.input_form = InputForm::SPAN_HTML;
    else if (is("--ansi-input")) options.input_form = InputForm::TERMINAL;
    else if (is("--silent") || is("-s")) options.silent = 1;
    else if (is("--transparent")) options.transparent = 1;
    else if (is("--crop")) std::fprintf(stderr, "warning: option --crop is deprecated and now default.  see --no-crop\n");
    else if (is("--no-crop")) options.crop = 0;
    else if (is("--overwrite")) options.overwrite = 1;
    else if (is("--bold")) drawing.bold = 1;
    else if (is("--fit")) options.fit = 1;
    else if ((value = value_after(argument, "--margin="))) options.margin = parse_int_clamped(value);
    else if ((value = value_after(argument, "--scale="))) options.scale = parse_int_clamped(value);
    else if (is("--no-fallback")) drawing.fallback = 0;
    else if ((value = value_after(argument, "--fallback-font="))) drawing.fallback_fonts = value;
    else if ((value = value_after(argument, "--format="))) set_pixel_format(drawing, value);
    else if ((value = value_after(argument, "--tab="))) drawing.tab_width = parse_int_clamped(value);
    else if ((value = value_after(argument, "--font="))) drawing.font_name = value;
    else if ((value = value_after(argument, "--width="))) set_side(options, options.width, value);
    else if ((value = value_after(argument, "--output="))) options.output = value;
    else if (scan_color(argument, "--background=", options.background, options.background_text)) {}
    else if (scan_color(argument, "--foreground=", options.foreground, options.foreground_text)) {}
    else if (scan_size(argument, options)) {}
    else if (scan_font_size(argument, drawing)) {}
    else if ((value = value_after(argument, "--linespacing="))) drawing.line_spacing = parse_int_clamped(value);
    else if ((value = value_after(argument, "--charspacing="))) drawing.char_spacing = parse_int_clamped(value);
    else if ((value = value_after(argument, "--height="))) set_side(options, options.height, value);
    else if (is("--theme=list")) exit_after(print_theme_list);
    else if ((value = value_after(argument, "--theme="))) options.theme = value;
    else if ((value = value_after(argument, "--min-contrast="))) drawing.min_contrast = read_contrast_ratio(value);
    else refuse_option(argument);
}

}  // namespace

bool is_file_operand(const char* argument)
{
    return argument[0] != '-' || argument[1] == '\0';
}

int32_t parse_options(int32_t argument_count, char** arguments, Options& options)
{
    int32_t operand_count = 0;
    for (int32_t i = 1; i < argument_count; ++i) {
        if (is_file_operand(arguments[i])) ++operand_count;
        else parse_option(arguments[i], options);
    }
    return operand_count;
}

}  // namespace vedad
