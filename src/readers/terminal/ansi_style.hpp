#pragma once

#include <cstdint>
#include <span>

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

// What SGR has set for the text that follows. Italic and strike-through are accepted and
// drawn plainly, so they are not kept.
struct Style {
    StyleColor foreground;
    StyleColor background;
    bool bold = false;
    bool faint = false;
    bool reverse = false;
    bool underline = false;
    bool operator==(const Style&) const = default;
};

// One parameter of a control sequence: its value (an empty one counts 0) and whether a ':'
// joined it to the parameter before it, as a sub-parameter.
struct SequenceParameter {
    int32_t value = 0;
    bool sub = false;
};

// Applies the parameters of one SGR sequence (ESC [ ... m) in order. No parameter is a reset.
void apply_sgr(Style& style, std::span<const SequenceParameter> parameters);

// The colours a cell written in `style` is drawn in, given the basic colours and the page's
// default colours.
struct ResolvedColors {
    Rgb foreground;
    Rgb background;
};
ResolvedColors resolve_colors(const Style& style, const BasicColors& basic, Rgb default_foreground,
                              Rgb default_background);

// The background an erase leaves: the style's background colour, whatever reverse says.
Rgb erase_color(const Style& style, const BasicColors& basic, Rgb default_background);

}  // namespace vedad
