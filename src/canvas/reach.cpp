#include "canvas/reach.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "base/utf8.hpp"
#include "glyphs/glyph_path.hpp"
#include "glyphs/text_decoding.hpp"

namespace vedad {

namespace {

// Pens this far from the origin keep libgd's own arithmetic, and so the boxes learnt from
// them, far from overflowing.
constexpr int64_t SANE_PEN = int64_t{1} << 30;

bool pen_is_sane(const Canvas& canvas)
{
    return std::abs(static_cast<int64_t>(canvas.pen_x)) < SANE_PEN &&
           std::abs(static_cast<int64_t>(canvas.pen_y)) < SANE_PEN;
}

void learn_box(GlyphReach& reach, const Canvas& canvas, const TextBox& box)
{
    const int64_t x = canvas.pen_x;
    const int64_t y = canvas.pen_y;
    for (int corner = 0; corner < 4; ++corner) {
        const int64_t bx = box[2 * corner];
        const int64_t by = box[2 * corner + 1];
        reach.left = std::max(reach.left, x - bx);
        reach.right = std::max(reach.right, bx - x);
        reach.up = std::max(reach.up, y - by);
        reach.down = std::max(reach.down, by - y);
    }
}

// Calls `each` with every character libgd reads in a row, each one glyph of its own; false,
// having stopped, when the row may hold a character reference, or at a newline, after which
// libgd goes on a line lower.
template <typename Each>
bool for_each_row_character(std::string_view text, Each each)
{
    while (!text.empty()) {
        uint32_t character = 0;
        const size_t length = read_character(text, character);
        if (length == 0 || character == '\n') return false;
        if (!each(character)) return false;
        text.remove_prefix(length);
    }
    return true;
}

bool row_is_known(const GlyphReach& reach, const char* text)
{
    return for_each_row_character(text, [&](uint32_t character) { return reach.rendered.contains(character); });
}

// Where a character drawn as one text stands in the set: the character a row reads for it,
// the code point of a whole character of up to four bytes or the Latin-1 character of a byte
// that begins none, and 0 for the empty text.
uint32_t character_key(const Character& character)
{
    const std::string_view text(character.text.data());
    if (text.empty()) return 0;
    const size_t length = utf8_sequence_length(text);
    if (length == 0) return static_cast<unsigned char>(text[0]);
    return static_cast<uint32_t>(utf8_code_point(text, length));
}

// Whether known glyphs on the pen's baseline stay, with the clearance, above or below the image.
bool baseline_out_of_reach(const Canvas& canvas, const GlyphReach& reach)
{
    const int64_t clearance = reach_clearance(canvas);
    const int64_t y = canvas.pen_y;
    return y - reach.up - clearance >= gdImageSY(canvas.image) || y + reach.down + clearance < 0;
}

}  // namespace

int64_t reach_clearance(const Canvas& canvas)
{
    const double points = canvas_point_size(canvas);
    if (!(points > 0.0 && points < MAX_POINT_SIZE)) return int64_t{1} << 40;
    const double em = em_in_pixels(points);
    return 2 * static_cast<int64_t>(std::ceil(em)) + 2;
}

void learn_row(GlyphReach& reach, const Canvas& canvas, const char* text, const TextBox& box)
{
    if (!pen_is_sane(canvas)) return;
    learn_box(reach, canvas, box);
    // The characters before a reference or a newline rendered as well.
    for_each_row_character(text, [&](uint32_t character) {
        reach.rendered.insert(character);
        return true;
    });
}

void learn_glyph(GlyphReach& reach, const Canvas& canvas, const Character& character, const TextBox& box)
{
    if (!pen_is_sane(canvas)) return;
    learn_box(reach, canvas, box);
    reach.rendered.insert(character_key(character));
}

bool row_is_unseen(const Canvas& canvas, const GlyphReach& reach, const char* text)
{
    return !canvas.glyphs->seams.draw_everything && row_is_known(reach, text) && baseline_out_of_reach(canvas, reach);
}

bool glyph_is_unseen(const Canvas& canvas, const GlyphReach& reach, const Character& character)
{
    if (canvas.glyphs->seams.draw_everything || !reach.rendered.contains(character_key(character))) return false;
    const int64_t clearance = reach_clearance(canvas);
    const int64_t x = canvas.pen_x;
    return baseline_out_of_reach(canvas, reach) || x - reach.left - clearance >= gdImageSX(canvas.image) ||
           x + reach.right + clearance < 0;
}

bool baseline_far_from_image(const Canvas& canvas)
{
    if (canvas.glyphs->seams.draw_everything) return false;
    const int64_t clearance = reach_clearance(canvas);
    const int64_t y = canvas.pen_y;
    return y - clearance >= gdImageSY(canvas.image) || y + clearance < 0;
}

bool box_may_reach_image(const Canvas& canvas, const TextBox& box)
{
    if (canvas.glyphs->seams.draw_everything) return true;
    const int64_t clearance = reach_clearance(canvas);
    int64_t top = INT64_MAX;
    int64_t bottom = INT64_MIN;
    int64_t left = INT64_MAX;
    int64_t right = INT64_MIN;
    for (int corner = 0; corner < 4; ++corner) {
        left = std::min<int64_t>(left, box[2 * corner]);
        right = std::max<int64_t>(right, box[2 * corner]);
        top = std::min<int64_t>(top, box[2 * corner + 1]);
        bottom = std::max<int64_t>(bottom, box[2 * corner + 1]);
    }
    return top - clearance < gdImageSY(canvas.image) && bottom + clearance >= 0 &&
           left - clearance < gdImageSX(canvas.image) && right + clearance >= 0;
}

bool row_needs_no_measuring(const Canvas& canvas, const GlyphReach& reach, const char* text, int32_t extent_x)
{
    return extent_x >= gdImageSX(canvas.image) && row_is_unseen(canvas, reach, text);
}

}  // namespace vedad
