#include "cli/parse_options.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
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

bool set_split_rows(Options& options, const char* value)
{
    const int64_t rows = parse_whole_number(value, INT32_MAX, -1);
    options.split_rows = rows == 0 ? -1 : static_cast<int32_t>(rows);
    return true;
}

bool set_picture_type(Options& options, const char* value)
{
    if (strcasecmp(value, "png") == 0) options.picture_type = PictureType::PNG;
    else if (strcasecmp(value, "webp") == 0) options.picture_type = PictureType::WEBP;
    else if (strcasecmp(value, "svg") == 0) options.picture_type = PictureType::SVG;
    else if (strcasecmp(value, "gif") == 0) options.picture_type = PictureType::GIF;
    else return false;
    options.picture_type_given = 1;
    return true;
}

// A number of seconds or a speed, the whole value read as a number; not a number (which the
// checks refuse) when it is none.
bool set_number(double& field, const char* value)
{
    const char* end = value + std::strlen(value);
    const auto [stop, error] = std::from_chars(value, end, field);
    if (error != std::errc{} || stop != end) field = std::nan("");
    return true;
}

bool set_idle_limit(PlaybackSettings& playback, const char* value)
{
    playback.idle_limit_given = 1;
    return set_number(playback.idle_limit, value);
}

// A time from 0: below it stands for none given.
bool set_at(PlaybackSettings& playback, const char* value)
{
    set_number(playback.at, value);
    if (playback.at < 0) playback.at = std::nan("");
    return true;
}

bool set_max_pixels(Options& options, const char* value)
{
    options.max_pixels = parse_whole_number(value, INT64_MAX / 2, 0);
    options.max_pixels_given = 1;
    return true;
}

// One or two whole numbers of pixels separated by a comma, each at most MAX_FRAME_PIXELS.
// `second` takes the first when only one is given.
bool read_pixel_pair(const char* value, int32_t& first, int32_t& second)
{
    const char* comma = std::strchr(value, ',');
    const std::string head = comma == nullptr ? std::string(value) : std::string(value, comma);
    const int64_t a = parse_whole_number(head.c_str(), MAX_FRAME_PIXELS, -1);
    const int64_t b = comma == nullptr ? a : parse_whole_number(comma + 1, MAX_FRAME_PIXELS, -1);
    if (a < 0 || b < 0) return false;
    first = static_cast<int32_t>(a);
    second = static_cast<int32_t>(b);
    return true;
}

bool set_padding(FrameSettings& frame, const char* value)
{
    return read_pixel_pair(value, frame.padding_v, frame.padding_h);
}

bool set_frame_pixels(int32_t& field, const char* value)
{
    const int64_t pixels = parse_whole_number(value, MAX_FRAME_PIXELS, -1);
    if (pixels < 0) return false;
    field = static_cast<int32_t>(pixels);
    return true;
}

bool set_window(FrameSettings& frame, const char* value)
{
    if (std::strcmp(value, "mac") == 0) frame.window = WindowStyle::MAC;
    else if (std::strcmp(value, "plain") == 0) frame.window = WindowStyle::PLAIN;
    else if (std::strcmp(value, "none") == 0) frame.window = WindowStyle::NONE;
    else return false;
    return true;
}

// BLUR, or BLUR,OFFSET: the offset stays as it was when only the blur is given.
bool set_shadow(FrameSettings& frame, const char* value)
{
    int32_t offset = frame.shadow_offset;
    int32_t blur = 0;
    if (std::strchr(value, ',') != nullptr) {
        if (!read_pixel_pair(value, blur, offset)) return false;
    } else if (!set_frame_pixels(blur, value)) {
        return false;
    }
    frame.shadow = 1;
    frame.shadow_blur = blur;
    frame.shadow_offset = offset;
    return true;
}

bool set_line_numbers(FrameSettings& frame, const char* value)
{
    const int64_t first = parse_whole_number(value, MAX_FIRST_LINE_NUMBER, -1);
    if (first < 0) return false;
    frame.line_numbers = 1;
    frame.first_line_number = static_cast<int32_t>(first);
    return true;
}

// A command to run: one with something in it besides blanks.
bool set_command(Options& options, const char* value)
{
    if (std::strspn(value, " \t\n") == std::strlen(value)) return false;
    options.execute = value;
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
    ValueOption{"--execute=", [](Options& o, const char* v) { return set_command(o, v); }},
    ValueOption{"--fallback-font=",
                [](Options& o, const char* v) { return set_text(o.drawing.fallback_fonts, v); }},
    ValueOption{"--font=", [](Options& o, const char* v) { return set_text(o.drawing.font_name, v); }},
    ValueOption{"--font-size=", [](Options& o, const char* v) { return set_font_size(o.drawing, v); }},
    ValueOption{"--foreground=",
                [](Options& o, const char* v) { return set_color(v, o.foreground, o.foreground_text); }},
    ValueOption{"--format=", [](Options& o, const char* v) { return set_pixel_format(o.drawing, v); }},
    ValueOption{"--height=", [](Options& o, const char* v) { return set_side(o, o.height, v); }},
    ValueOption{"--italic-font=", [](Options& o, const char* v) { return set_text(o.drawing.italic_font, v); }},
    ValueOption{"--jobs=", [](Options& o, const char* v) { return set_whole(o.jobs, v, MAX_JOBS, -1); }},
    ValueOption{"--linespacing=", [](Options& o, const char* v) { return set_int(o.drawing.line_spacing, v); }},
    ValueOption{"--margin=", [](Options& o, const char* v) { return set_whole(o.margin, v, INT32_MAX, -1); }},
    ValueOption{"--max-pixels=", [](Options& o, const char* v) { return set_max_pixels(o, v); }},
    ValueOption{"--min-contrast=", [](Options& o, const char* v) { return set_min_contrast(o.drawing, v); }},
    ValueOption{"--line-numbers=", [](Options& o, const char* v) { return set_line_numbers(o.frame, v); }},
    ValueOption{"--output=", [](Options& o, const char* v) { return set_text(o.output, v); }},
    ValueOption{"--padding=", [](Options& o, const char* v) { return set_padding(o.frame, v); }},
    ValueOption{"--radius=", [](Options& o, const char* v) { return set_frame_pixels(o.frame.radius, v); }},
    ValueOption{"--prompt=", [](Options& o, const char* v) { return set_text(o.prompt, v); }},
    ValueOption{"--rows=", [](Options& o, const char* v) { return set_whole(o.rows, v, MAX_TERMINAL_ROWS, 0); }},
    ValueOption{"--scale=", [](Options& o, const char* v) { return set_whole(o.scale, v, MAX_SCALE, 0); }},
    ValueOption{"--shadow=", [](Options& o, const char* v) { return set_shadow(o.frame, v); }},
    ValueOption{"--size=", [](Options& o, const char* v) { return set_size(o, v); }},
    ValueOption{"--split=", [](Options& o, const char* v) { return set_split_rows(o, v); }},
    ValueOption{"--tab=", [](Options& o, const char* v) { return set_int(o.drawing.tab_width, v); }},
    ValueOption{"--theme=", [](Options& o, const char* v) { return set_theme(o, v); }},
    ValueOption{"--title=", [](Options& o, const char* v) { return set_text(o.frame.title, v); }},
    ValueOption{"--timeout=", [](Options& o, const char* v) { return set_whole(o.timeout, v, INT32_MAX, 0); }},
    ValueOption{"--type=", [](Options& o, const char* v) { return set_picture_type(o, v); }},
    ValueOption{"--width=", [](Options& o, const char* v) { return set_side(o, o.width, v); }},
    ValueOption{"--window=", [](Options& o, const char* v) { return set_window(o.frame, v); }},
    // How a recording plays (--asciicast).
    ValueOption{"--speed=", [](Options& o, const char* v) { return set_number(o.playback.speed, v); }},
    ValueOption{"--idle-limit=", [](Options& o, const char* v) { return set_idle_limit(o.playback, v); }},
    ValueOption{"--fps-cap=",
                [](Options& o, const char* v) { return set_whole(o.playback.fps_cap, v, MAX_FPS_CAP, 0); }},
    ValueOption{"--last-frame=", [](Options& o, const char* v) { return set_number(o.playback.last_frame, v); }},
    ValueOption{"--loop=", [](Options& o, const char* v) { return set_whole(o.playback.loop, v, INT32_MAX, -1); }},
    ValueOption{"--at=", [](Options& o, const char* v) { return set_at(o.playback, v); }},
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
    else if (is("--asciicast")) options.input_form = InputForm::RECORDING;
    else if (is("--silent") || is("-s")) options.silent = 1;
    else if (is("--transparent")) options.transparent = 1;
    else if (is("--crop")) std::fprintf(stderr, "warning: option --crop is deprecated and now default.  see --no-crop\n");
    else if (is("--no-crop")) options.crop = 0;
    else if (is("--overwrite")) options.overwrite = 1;
    else if (is("--bold")) drawing.bold = 1;
    else if (is("--fit")) options.fit = 1;
    else if (is("--no-fallback")) drawing.fallback = 0;
    else if (is("--ligatures")) drawing.ligatures = 1;
    else if (is("--window")) options.frame.window = WindowStyle::MAC;
    else if (is("--shadow")) options.frame.shadow = 1;
    else if (is("--line-numbers")) options.frame.line_numbers = 1;
    else if (is("--pretty")) {
        // Its settings were laid down before the options were read (see parse_options).
    }
    else if (is("--prompt")) options.prompt = DEFAULT_PROMPT;  // its own text only after "="
    else if (is("--screen")) options.screen = 1;
    else if (is("--svg-glyphs")) options.svg_glyphs = 1;
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

// Whether the options, read as parse_options reads them, hold --pretty.
bool asks_for_pretty(int32_t argument_count, char** arguments)
{
    for (int32_t i = 1; i < argument_count; ++i) {
        const char* argument = arguments[i];
        if (is_file_operand(argument)) continue;
        if (std::strcmp(argument, "--") == 0) return false;
        if (std::strcmp(argument, "--pretty") == 0) return true;
        const char* value = nullptr;
        const bool takes_next = std::strcmp(argument, "-o") == 0 ||
                                (value_option(argument, value) != nullptr && value == nullptr &&
                                 std::strcmp(argument, "--window") != 0 && std::strcmp(argument, "--shadow") != 0 &&
                                 std::strcmp(argument, "--line-numbers") != 0);
        if (takes_next) ++i;
    }
    return false;
}

}  // namespace

void set_pretty_defaults(Options& options)
{
    FrameSettings& frame = options.frame;
    frame.window = WindowStyle::MAC;
    frame.padding_v = 16;
    frame.padding_h = 20;
    frame.radius = 8;
    frame.shadow = 1;
    options.margin = 32;
    options.fit = 1;
    options.scale = 2;
    options.drawing.font_size = PRETTY_FONT_SIZE;
}

bool is_file_operand(const char* argument)
{
    return argument[0] != '-' || argument[1] == '\0';
}

void parse_options(int32_t argument_count, char** arguments, Options& options, Operands& operands)
{
    operands.clear();
    // --pretty only changes defaults: every other option overrides it, wherever it stands.
    if (asks_for_pretty(argument_count, arguments)) set_pretty_defaults(options);
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
