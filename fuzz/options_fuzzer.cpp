// Builds an argument vector from the input (arguments separated by NUL bytes), parses it and
// runs the checks, as the program does before it converts anything.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/check_options.hpp"
#include "cli/color_warning.hpp"
#include "base/options.hpp"
#include "cli/parse_options.hpp"
#include "fuzz_support.hpp"

namespace {

struct Run {
    std::vector<char*> arguments;  // ends in a null pointer, as argv does
    int32_t argument_count = 0;
    vedad::Options options;
    vedad::Operands operands;
    int32_t operand_count = -1;
    std::string background_warning;  // what --verbose would say about the colours
    std::string foreground_warning;
};

void parse_and_check(void* context)
{
    Run& run = *static_cast<Run*>(context);
    vedad::set_default_options(run.options);
    vedad::parse_options(run.argument_count, run.arguments.data(), run.options, run.operands);
    run.operand_count = static_cast<int32_t>(run.operands.size());
    vedad::check_options(run.options, run.operand_count);
    run.background_warning = vedad::color_warning("--background=", run.options.background_text);
    run.foreground_warning = vedad::color_warning("--foreground=", run.options.foreground_text);
    char line[128];
    std::snprintf(line, sizeof line, "output format: %s %dx%d pixels\n", vedad::pixel_format_name(run.options.drawing),
                  run.options.width, run.options.height);
}

bool is_flag(int32_t value)
{
    return value == 0 || value == 1;
}

bool is_component(int32_t value)
{
    return value >= 0 && value <= 255;
}

// No warning, or a warning ended by a newline (the value it quotes may hold more).
bool is_warning(const std::string& text)
{
    return text.empty() || (text.starts_with("warning: ") && text.ends_with('\n'));
}

bool is_color(const vedad::Rgb& rgb)
{
    return is_component(rgb.r) && is_component(rgb.g) && is_component(rgb.b);
}

// The operands are arguments themselves, in command-line order, each "-", one that does not
// begin with '-', or one after a "--". An option takes at most the argument after it as its
// value, so an argument that looks like an operand and is none follows one that is none.
bool operands_are_arguments(const Run& run)
{
    size_t next = 0;
    bool after_double_dash = false;
    bool previous_taken = true;  // the program's name is no option
    for (int32_t i = 1; i < run.argument_count; ++i) {
        const char* argument = run.arguments[i];
        const bool taken = next < run.operands.size() && run.operands[next] == argument;
        if (taken) ++next;
        const bool looks_like_operand = vedad::is_file_operand(argument);
        if (taken && !looks_like_operand && !after_double_dash) return false;
        if (!taken && looks_like_operand && previous_taken) return false;
        if (std::strcmp(argument, "--") == 0) after_double_dash = true;
        previous_taken = taken;
    }
    return next == run.operands.size();
}

// Times a recording can be played with: no pause, speed or frame rate that divides by zero.
bool plays_sanely(const vedad::PlaybackSettings& p)
{
    return p.speed > 0 && p.idle_limit >= 0 && p.last_frame >= 0 && p.fps_cap >= 1 &&
           p.fps_cap <= vedad::MAX_FPS_CAP && p.loop >= 0 && !std::isnan(p.at);
}

// What every run that passes the checks may rely on.
bool holds_after_checks(const Run& run)
{
    const int32_t operands = static_cast<int32_t>(run.operands.size());
    const vedad::Options& o = run.options;
    const vedad::DrawingSettings& c = run.options.drawing;
    // A command to run is the one input there is; without one there are files.
    const bool inputs = o.execute != nullptr ? operands == 0 && o.execute[0] != '\0' : operands > 0;
    return operands_are_arguments(run) && run.operand_count == operands && inputs && o.rows >= 1 && o.timeout >= 1 &&
           is_flag(o.screen) && o.width >= 1 && o.height >= 1 &&
           !(vedad::FONT_SIZE_THRESHOLD > c.font_size) && o.output != nullptr && c.font_name != nullptr &&
           (o.input_form == vedad::InputForm::PLAIN_TEXT || o.input_form == vedad::InputForm::SPAN_HTML ||
            o.input_form == vedad::InputForm::TERMINAL || o.input_form == vedad::InputForm::RECORDING) && is_flag(o.crop) && is_flag(o.overwrite) && is_flag(o.transparent) &&
           is_flag(o.silent) && is_flag(o.verbose) && !(o.silent == 1 && o.verbose == 1) && is_flag(c.fixed_advance) &&
           is_flag(c.bold) && c.pixel_format >= vedad::PIXEL_FORMAT_A8 && c.pixel_format <= vedad::PIXEL_FORMAT_ARGB32 &&
           is_color(o.background) && is_color(o.foreground) && c.min_contrast >= vedad::MIN_CONTRAST_LOWEST &&
           c.min_contrast <= vedad::MIN_CONTRAST_HIGHEST && is_warning(run.background_warning) &&
           is_warning(run.foreground_warning) && o.jobs >= 0 && o.split_rows >= 0 && plays_sanely(o.playback);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    vedad_fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The texts outlive the run: the options keep pointers into them.
    std::vector<std::string> texts{"vedad"};
    texts.emplace_back();
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\0') texts.emplace_back();
        else texts.back().push_back(static_cast<char>(data[i]));
    }
    if (size == 0) texts.pop_back();

    Run run;
    for (std::string& text : texts) run.arguments.push_back(text.data());
    run.argument_count = static_cast<int32_t>(run.arguments.size());
    run.arguments.push_back(nullptr);

    const int status = vedad_fuzz::run_trapping_exit(parse_and_check, &run);
    if (status == -1 ? !holds_after_checks(run) : status != 0 && status != 1) __builtin_trap();
    return 0;
}
