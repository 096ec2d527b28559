#include "readers/terminal/ansi_style.hpp"

#include <cstddef>
#include <array>
#include <tuple>

namespace vedad {

namespace {

StyleColor basic(int index)
{
    return StyleColor{StyleColor::BASIC, static_cast<uint8_t>(index), {}};
}

StyleColor indexed(int index)
{
    return StyleColor{StyleColor::INDEXED, static_cast<uint8_t>(index), {}};
}

bool is_component(int32_t value)
{
    return value >= 0 && value <= 255;
}

// Reads the colour that follows 38 or 48 at parameters[at]: "5;n" or "2;r;g;b", with ';' or
// with ':' (where "2:cs:r:g:b" may also name a colour space first). Returns how many
// parameters after 38 or 48 belong to it; a colour out of range is consumed and left unset.
size_t read_extended_color(std::span<const SequenceParameter> parameters, size_t at, StyleColor& color)
{
    const bool sub = at < parameters.size() && parameters[at].sub;
    size_t count = 0;  // the parameters that belong to the colour
    if (sub) {
        while (at + count < parameters.size() && parameters[at + count].sub) ++count;
    } else {
        count = parameters.size() - at;
    }
    if (count == 0) return 0;
    const std::span<const SequenceParameter> own = parameters.subspan(at, count);
    if (own[0].value == 5) {
        if (own.size() < 2) return sub ? count : own.size();
        if (is_component(own[1].value)) color = indexed(own[1].value);
        return sub ? count : 2;
    }
    if (own[0].value == 2) {
        const size_t first = sub && own.size() >= 5 ? 2 : 1;  // skip a colour space id
        if (own.size() < first + 3) return sub ? count : own.size();
        const int32_t r = own[first].value;
        const int32_t g = own[first + 1].value;
        const int32_t b = own[first + 2].value;
        if (is_component(r) && is_component(g) && is_component(b))
            color = StyleColor{StyleColor::DIRECT, 0, Rgb{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)}};
        return sub ? count : first + 3;
    }
    // An unknown colour form: the rest of a ':' group, or nothing more with ';'.
    return sub ? count : 1;
}

// Skips the sub-parameters of the parameter before `at`.
size_t skip_subs(std::span<const SequenceParameter> parameters, size_t at)
{
    while (at < parameters.size() && parameters[at].sub) ++at;
    return at;
}

}  // namespace

void apply_sgr(Style& style, std::span<const SequenceParameter> parameters)
{
    if (parameters.empty()) {
        style = Style{};
        return;
    }
    size_t i = 0;
    while (i < parameters.size()) {
        const int32_t code = parameters[i].value;
        ++i;
        if (code == 38 || code == 48 || code == 58) {
            StyleColor& color = code == 38 ? style.foreground : code == 48 ? style.background : style.underline_color;
            i += read_extended_color(parameters, i, color);
            continue;
        }
        const bool has_sub = i < parameters.size() && parameters[i].sub;
        if (code == 0) style = Style{};
        else if (code == 1) style.bold = true;
        else if (code == 2) style.faint = true;
        else if (code == 3) style.italic = true;
        else if (code == 4) {
            style.underline = !has_sub || parameters[i].value != 0;  // 4:0 is no underline
            style.double_underline = has_sub && parameters[i].value == 2;
        } else if (code == 7) style.reverse = true;
        else if (code == 8) style.conceal = true;
        else if (code == 9) style.strike = true;
        else if (code == 21) style.underline = style.double_underline = true;
        else if (code == 22) style.bold = style.faint = false;
        else if (code == 23) style.italic = false;
        else if (code == 24) style.underline = style.double_underline = false;
        else if (code == 27) style.reverse = false;
        else if (code == 28) style.conceal = false;
        else if (code == 29) style.strike = false;
        else if (code == 53) style.overline = true;
        else if (code == 55) style.overline = false;
        else if (code == 59) style.underline_color = StyleColor{};
        else if (code >= 30 && code <= 37) style.foreground = basic(code - 30);
        else if (code == 39) style.foreground = StyleColor{};
        else if (code >= 40 && code <= 47) style.background = basic(code - 40);
        else if (code == 49) style.background = StyleColor{};
        else if (code >= 90 && code <= 97) style.foreground = indexed(code - 90 + 8);
        else if (code >= 100 && code <= 107) style.background = indexed(code - 100 + 8);
        // 5, 6 and 25 (blinking) and all else change nothing drawn.
        i = skip_subs(parameters, i);
    }
}

namespace {

Rgb color_of(const StyleColor& color, const BasicColors& basic, Rgb default_color, bool bright)
{
    switch (color.kind) {
    case StyleColor::DEFAULT:
        return default_color;
    case StyleColor::BASIC:
        return palette_color(basic, bright ? color.index + 8 : color.index);
    case StyleColor::INDEXED:
        return palette_color(basic, color.index);
    case StyleColor::DIRECT:
        return color.rgb;
    }
    return default_color;
}

}  // namespace

ResolvedColors resolve_colors(const Style& style, const BasicColors& basic, Rgb default_foreground,
                              Rgb default_background)
{
    Rgb foreground = color_of(style.foreground, basic, default_foreground, style.bold);
    if (style.faint) foreground = faint_color(foreground);
    const Rgb background = color_of(style.background, basic, default_background, false);
    const ResolvedColors colors = style.reverse ? ResolvedColors{background, foreground, background}
                                                : ResolvedColors{foreground, background, foreground};
    if (style.underline_color.kind == StyleColor::DEFAULT) return colors;
    return ResolvedColors{colors.foreground, colors.background, color_of(style.underline_color, basic, colors.lines, false)};
}

Rgb erase_color(const Style& style, const BasicColors& basic, Rgb default_background)
{
    return color_of(style.background, basic, default_background, false);
}

}  // namespace vedad

namespace vedad {

namespace {

// The parameters after `code` (38, 48 or 58) that give `color`.
std::string color_parameters(int code, const StyleColor& color)
{
    if (color.kind == StyleColor::DEFAULT) return "";
    std::string text = ";";
    text += std::to_string(code);
    const std::array<int, 4> direct = {2, color.rgb.r, color.rgb.g, color.rgb.b};
    const std::array<int, 2> indexed = {5, color.index};
    const std::span<const int> values = color.kind == StyleColor::DIRECT ? std::span<const int>(direct)
                                                                          : std::span<const int>(indexed);
    for (const int value : values) {
        text += ';';
        text += std::to_string(value);
    }
    return text;
}

}  // namespace

std::string sgr_sequence(const Style& style)
{
    if (style == Style{}) return "";
    std::string text = "\x1b[0";
    if (style.bold) text += ";1";
    if (style.faint) text += ";2";
    if (style.italic) text += ";3";
    if (style.underline && !style.double_underline) text += ";4";
    if (style.double_underline) text += ";21";
    if (style.reverse) text += ";7";
    if (style.conceal) text += ";8";
    if (style.strike) text += ";9";
    if (style.overline) text += ";53";
    // A basic colour is written as its own code, so that bold still brightens it.
    for (const auto& [color, basic_code, code] : {std::tuple{&style.foreground, 30, 38}, std::tuple{&style.background, 40, 48}}) {
        if (color->kind != StyleColor::BASIC) {
            text += color_parameters(code, *color);
            continue;
        }
        text += ';';
        text += std::to_string(basic_code + color->index);
    }
    text += color_parameters(58, style.underline_color);
    return text + "m";
}

}  // namespace vedad
