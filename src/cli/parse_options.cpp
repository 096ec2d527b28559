#include "cli/parse_options.hpp"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <strings.h>

#include "cli/font_list.hpp"
#include "cli/help_text.hpp"
#include "base/hex_color.hpp"
#include "cli/numbers.hpp"
#include "cli/refuse_option.hpp"
#include "cli/theme_option.hpp"

namespace vedad {

namespace {

// "%s" as scanf reads it: blanks skipped, then at least one non-blank character. Only the
// first six characters of a colour count, after an optional '#'. The value is kept, by
// reference, for the warning about colours that do not read as six digits.
bool set_color(const char* value, Rgb& rgb, const char*& given)
{
    ColorText color;
    if (!read_color_text(value, color)) return false;
    parse_hex_color(color.data(), rgb);
    given = value;
    return true;
}

// "%dx%d" as scanf reads it, with numbers held to the 32-bit range.
bool set_size(Options& options, const char* value)
{
    int32_t width = 0;
    int32_t height = 0;
    const char* end = nullptr;
    if (!scan_int_clamped(value, width, end) || *end != 'x') return false;
    if (!scan_int_clamped(end + 1, height, end)) return false;
    options.width = width;
    options.height = height;
    options.size_given = 1;
    return true;
}

// --width= or --height=: one side of the canvas, as atoi reads it.
bool set_side(Options& options, int32_t& side, const char* value)
{
    side = parse_int_clamped(value);
    options.size_given = 1;
    return true;
}

bool set_font_size(DrawingSettings& drawing, const char* value)
{
    double size = 0.0;
    if (std::sscanf(value, "%lf", &size) != 1) return false;
    drawing.font_size = size;
    return true;
}

bool set_pixel_format(DrawingSettings& drawing, const char* value)
{
    if (strcasecmp(value, "argb32") == 0) drawing.pixel_format = PIXEL_FORMAT_ARGB32;
    else if (strcasecmp(value, "rgb24") == 0) drawing.pixel_format = PIXEL_FORMAT_RGB24;
    else if (strcasecmp(value, "a8") == 0) drawing.pixel_format = PIXEL_FORMAT_A8;
    return true;  // any other value changes nothing
}

bool set_int(int32_t& field, const char* value)
{
    field = parse_int_clamped(value);
    return true;
}

// A whole number for an option checked afterwards: `invalid` (out of its range) for any
// other text.
bool set_whole(int32_t& field, const char* value, int32_t most, int32_t invalid)
{
    field = static_cast<int32_t>(parse_whole_number(value, most, invalid));
    return true;
}

bool set_columns(Options& options, const char* value)
{
    const int64_t columns = parse_whole_number(value, INT32_MAX, -1);
    options.columns = columns == 0 ? -1 : static_cast<int32_t>(columns);
    return true;
}

bool set_min_contrast(DrawingSettings& drawing, const char* value)
{
    drawing.min_contrast = read_contrast_ratio(value);
    return true;
}

// --theme=list (or --theme list) prints the built-in themes' names instead of naming one.
bool set_theme(Options& options, const char* value)
{
    if (std::strcmp(value, "list") == 0) {
        print_theme_list();
        std::exit(0);
    }
    options.theme = value;
    return true;
}

bool set_max_pixels(Options& options, const char* value)
{
    options.max_pixels = parse_whole_number(value, INT64_MAX / 2, 0);
    options.max_pixels_given = 1;
    return true;
}

// Texts are kept by reference: they point into argv, which lives as long as the run.
bool set_text(const char*& field, const char* value)
{
    field = value;
    return true;
}

// An option that takes a value: --name=VALUE, or --name VALUE with the value in the next
// argument. `set` stores the value, or returns false when it cannot read it; the option is
// then refused with what it expects.
struct ValueOption {
    std::string_view name;  // with its "="
    bool (*set)(Options& options, const char* value);
};

constexpr std::array VALUE_OPTIONS = {
    ValueOption{"--background=",
                [](Options& o, const char* v) { return set_color(v, o.background, o.background_text); }},
    ValueOption{"--columns=", [](Options& o, const char* v) { return set_columns(o, v); }},
    ValueOption{"--bold-font=", [](Options& o, const char* v) { return set_text(o.drawing.bold_font, v); }},
    ValueOption{"--bold-italic-font=",
                [](Options& o, const char* v) { return set_text(o.drawing.bold_italic_font, v); }},
    ValueOption{"--charspacing=", [](Options& o, const char* v) { return set_int(o.drawing.char_spacing, v); }},
    ValueOption{"--fallback-font=",
                [](Options& o, const char* v) { return set_text(o.drawing.fallback_fonts, v); }},
    ValueOption{"--font=", [](Options& o, const char* v) { return set_text(o.drawing.font_name, v); }},
    ValueOption{"--font-size=", [](Options& o, const char* v) { return set_font_size(o.drawing, v); }},
    ValueOption{"--foreground=",
                [](Options& o, const char* v) { return set_color(v, o.foreground, o.foreground_text); }},
    ValueOption{"--format=", [](Options& o, const char* v) { return set_pixel_format(o.drawing, v); }},
    ValueOption{"--height=", [](Options& o, const char* v) { return set_side(o, o.height, v); }},
    ValueOption{"--italic-font=", [](Options& o, const char* v) { return set_text(o.drawing.italic_font, v); }},
    ValueOption{"--linespacing=", [](Options& o, const char* v) { return set_int(o.drawing.line_spacing, v); }},
    ValueOption{"--margin=", [](Options& o, const char* v) { return set_whole(o.margin, v, INT32_MAX, -1); }},
    ValueOption{"--max-pixels=", [](Options& o, const char* v) { return set_max_pixels(o, v); }},
    ValueOption{"--min-contrast=", [](Options& o, const char* v) { return set_min_contrast(o.drawing, v); }},
    ValueOption{"--output=", [](Options& o, const char* v) { return set_text(o.output, v); }},
    ValueOption{"--scale=", [](Options& o, const char* v) { return set_whole(o.scale, v, MAX_SCALE, 0); }},
    ValueOption{"--size=", [](Options& o, const char* v) { return set_size(o, v); }},
    ValueOption{"--tab=", [](Options& o, const char* v) { return set_int(o.drawing.tab_width, v); }},
    ValueOption{"--theme=", [](Options& o, const char* v) { return set_theme(o, v); }},
    ValueOption{"--width=", [](Options& o, const char* v) { return set_side(o, o.width, v); }},
};

// The value option whose name `argument` is, "=" and value included (--width=800), or alone
// (--width), and where its value begins (null for the name alone).
const ValueOption* value_option(std::string_view argument, const char*& value)
{
    for (const ValueOption& option : VALUE_OPTIONS) {
        const std::string_view bare = option.name.substr(0, option.name.size() - 1);
        if (argument == bare) {
            value = nullptr;
            return &option;
        }
        if (argument.starts_with(option.name)) {
            value = argument.data() + option.name.size();
            return &option;
        }
    }
    return nullptr;
}

[[noreturn]] void exit_after(void (*print)())
{
    print();
    std::exit(0);
}

// Stores one option; `next` is the argument after it, null when there is none. Returns
// whether the option took `next` as its value.
bool parse_option(const char* argument, const char* next, Options& options)
{
    DrawingSettings& drawing = options.drawing;
    auto is = [argument](const char* name) { return std::strcmp(argument, name) == 0; };

    if (is("--help") || is("-h")) exit_after(print_usage);
    if (is("--version") || is("-V")) exit_after(print_version);
    if (is("--list-fonts")) list_fonts(FontListing::MONOSPACE);
    if (is("--list-fonts=all")) list_fonts(FontListing::ALL);
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
    else if (is("--no-fallback")) drawing.fallback = 0;
    else if (is("-o")) {
        // -o FILE is --output=FILE. Glued to its value it is not taken: -overwrite would be
        // an output file named "verwrite".
        if (next == nullptr) refuse_option(argument);
        options.output = next;
        return true;
    } else {
        const char* value = nullptr;
        const ValueOption* option = value_option(argument, value);
        const bool takes_next = option != nullptr && value == nullptr;
        if (takes_next) value = next;
        if (option == nullptr || value == nullptr || !option->set(options, value)) refuse_option(argument);
        return takes_next;
    }
    return false;
}

}  // namespace

bool is_file_operand(const char* argument)
{
    return argument[0] != '-' || argument[1] == '\0';
}

void parse_options(int32_t argument_count, char** arguments, Options& options, Operands& operands)
{
    operands.clear();
    bool options_ended = false;
    for (int32_t i = 1; i < argument_count; ++i) {
        const char* argument = arguments[i];
        if (options_ended || is_file_operand(argument)) {
            operands.push_back(argument);
        } else if (std::strcmp(argument, "--") == 0) {
            options_ended = true;
        } else {
            const char* next = i + 1 < argument_count ? arguments[i + 1] : nullptr;
            if (parse_option(argument, next, options)) ++i;
        }
    }
}

}  // namespace vedad
