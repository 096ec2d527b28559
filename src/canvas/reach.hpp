#pragma once

#include <array>
#include <cstdint>

#include "canvas/canvas.hpp"
#include "canvas/character.hpp"
#include "canvas/render_text.hpp"

namespace vedad {

// Leaving out what cannot reach the image.
//
// A page learns from the texts it renders which glyphs rendered without error and how far
// their boxes reached from their pens (the reach). Text made wholly of such glyphs whose
// boxes, grown by the reach and a clearance, stay off the image is unseen: it is only
// measured, or not even that, and the picture and messages stay what rendering it would give.
// Loading and rendering a glyph at one size gives the same result every time, so unseen text
// cannot fail where rendering would have failed.
//
// libgd's box is no exact bound of the ink: glyphs such as combining marks put ink up to
// three quarters of an em outside it (every glyph of the Basic Multilingual Plane in the
// FreeFont, DejaVu and Droid faces at 7 and 14 points, measured against the drawn pixels).
// The clearance, two ems and two pixels (for rounding, and the box moving by a pixel with
// the pen), covers that.

// Code points, and one past the last.
inline constexpr uint32_t CODE_POINTS = 0x110000;

// A set of code points that costs nothing to make: a plane's bits are cleared when the first
// code point of it goes in, as a page rarely meets more than one or two planes.
class CodePointSet {
public:
    bool contains(uint32_t code_point) const
    {
        const uint32_t plane = code_point >> 16;
        if (plane >= PLANES || !used_[plane]) return false;
        return (bits_[plane][(code_point & 0xFFFF) >> 6] >> (code_point & 63) & 1) != 0;
    }
    void insert(uint32_t code_point)
    {
        const uint32_t plane = code_point >> 16;
        if (plane >= PLANES) return;
        if (!used_[plane]) {
            bits_[plane].fill(0);
            used_[plane] = true;
        }
        bits_[plane][(code_point & 0xFFFF) >> 6] |= uint64_t{1} << (code_point & 63);
    }

private:
    static constexpr uint32_t PLANES = CODE_POINTS >> 16;
    std::array<bool, PLANES> used_{};
    std::array<std::array<uint64_t, 0x10000 / 64>, PLANES> bits_;  // a plane's, once used
};

struct GlyphReach {
    // What has been rendered, by code point: the characters as the glyph path reads text (see
    // text_decoding.hpp), a row's characters unless it may hold a character reference, and
    // the character a one-character text draws; a well-formed sequence of four bytes is one
    // character in both. Code point 0 stands for the empty text. The set lives in the record,
    // not on the heap: a fatal exit leaves a reader without freeing anything.
    CodePointSet rendered;
    // Furthest a rendered text's box reached from its pen, in pixels, each 0 or more.
    int64_t up = 0;
    int64_t down = 0;
    int64_t left = 0;
    int64_t right = 0;
};

// The clearance in pixels; so large that nothing is unseen when the point size is not an
// ordinary number.
int64_t reach_clearance(const Canvas& canvas);

// Takes in the box of a text rendered at the pen: how far it reached, and which of a row's
// characters, or which one character, draws known glyphs from then on. Learns nothing from pens so
// far out that libgd's own arithmetic may have overflowed.
void learn_row(GlyphReach& reach, const Canvas& canvas, const char* text, const TextBox& box);
void learn_glyph(GlyphReach& reach, const Canvas& canvas, const Character& character, const TextBox& box);

// Whether a row of text at the pen, or one character at the pen, is known and cannot reach
// the image.
bool row_is_unseen(const Canvas& canvas, const GlyphReach& reach, const char* text);
bool glyph_is_unseen(const Canvas& canvas, const GlyphReach& reach, const Character& character);

// Whether the pen's baseline lies more than the clearance above or below the image, so that a
// row there is measured before it is rendered.
bool baseline_far_from_image(const Canvas& canvas);

// Whether a text's box at the pen, grown by the clearance, reaches the image. Always true
// when everything is to be drawn.
bool box_may_reach_image(const Canvas& canvas, const TextBox& box);

// True when a row at the pen is unseen and, the text extent `extent_x` already covering the
// image's width, cannot change the crop either: it need not even be measured. Where the pen
// ends after such a row is not known; the caller starts the next row.
bool row_needs_no_measuring(const Canvas& canvas, const GlyphReach& reach, const char* text, int32_t extent_x);

}  // namespace vedad
