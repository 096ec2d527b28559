#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "readers/terminal/ansi_colors.hpp"

namespace vedad {

// A colour chosen by SGR: the default, one of the eight basic colours (30-37 or 40-47,
// which bold brightens in the foreground), a palette index, or a 24-bit colour.
struct StyleColor {
    enum Kind : uint8_t { DEFAULT, BASIC, INDEXED, DIRECT };
    Kind kind = DEFAULT;
    uint8_t index = 0;
    Rgb rgb{};
    bool operator==(const StyleColor&) const = default;
};

// What SGR has set for the text that follows. Blinking text is drawn steady, so blinking is
// not kept.
struct Style {
    StyleColor foreground;
    StyleColor background;
    StyleColor underline_color;  // DEFAULT: the text colour
    bool bold = false;    // 1: the bold face, and the bright form of a basic colour
    bool italic = false;  // 3
    bool faint = false;
    bool reverse = false;
    bool underline = false;         // any style of underline: curly and the others are drawn single
    bool double_underline = false;  // 21, 4:2
    bool strike = false;            // 9
    bool overline = false;          // 53
    bool conceal = false;           // 8: the cell's background alone
    bool operator==(const Style&) const = default;
};

// One parameter of a control sequence: its value (an empty one counts 0) and whether a ':'
// joined it to the parameter before it, as a sub-parameter.
struct SequenceParameter {
    int32_t value = 0;
    bool sub = false;
};

// An SGR sequence that sets `style` whatever the style before it; empty for the default
// style. Pages cut from one output begin with it.
std::string sgr_sequence(const Style& style);

// Applies the parameters of one SGR sequence (ESC [ ... m) in order. No parameter is a reset.
void apply_sgr(Style& style, std::span<const SequenceParameter> parameters);

// The colours a cell written in `style` is drawn in, given the basic colours and the page's
// default colours.
struct ResolvedColors {
    Rgb foreground;
    Rgb background;
    Rgb lines;  // of underlines, overlines and strike-through: the underline colour, or the text's
};
ResolvedColors resolve_colors(const Style& style, const BasicColors& basic, Rgb default_foreground,
                              Rgb default_background);

// The background an erase leaves: the style's background colour, whatever reverse says.
Rgb erase_color(const Style& style, const BasicColors& basic, Rgb default_background);

}  // namespace vedad
