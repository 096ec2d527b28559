#include "canvas/reach.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

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

// A byte of a row that maps to one glyph of its own, the same wherever it stands.
bool stands_for_itself(unsigned char byte)
{
    return byte != 0 && byte < 128 && byte != '&';
}

bool row_is_known(const GlyphReach& reach, const char* text)
{
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (!stands_for_itself(*p) || !reach.rendered[*p]) return false;
    }
    return true;
}

// A character of two to four bytes as one number, its bytes from the highest down; 0 for a
// shorter one. Its first byte is never 0, so no key of a longer character is 0.
uint32_t multi_byte_key(const Character& character)
{
    if (character.text[0] == '\0' || character.text[1] == '\0') return 0;
    uint32_t key = 0;
    for (size_t i = 0; i < UTF8_MAX_BYTES; ++i) key = key << 8 | static_cast<unsigned char>(character.text[i]);
    return key;
}

static_assert((std::tuple_size_v<decltype(GlyphReach::rendered_characters)> &
                (std::tuple_size_v<decltype(GlyphReach::rendered_characters)> - 1)) == 0,
              "the table's size is a power of two");
static_assert(REMEMBERED_CHARACTERS_MAX * 4 <= std::tuple_size_v<decltype(GlyphReach::rendered_characters)> * 3,
              "the table keeps free slots");

// The slot that holds `key`, or the free slot where it belongs.
size_t slot_of(const GlyphReach& reach, uint32_t key)
{
    const size_t mask = reach.rendered_characters.size() - 1;
    size_t slot = (key * uint64_t{2654435761}) >> 16 & mask;
    while (reach.rendered_characters[slot] != 0 && reach.rendered_characters[slot] != key) slot = (slot + 1) & mask;
    return slot;
}

bool character_is_known(const GlyphReach& reach, const Character& character)
{
    const uint32_t key = multi_byte_key(character);
    if (key == 0) return reach.rendered[static_cast<unsigned char>(character.text[0])];
    return reach.rendered_characters[slot_of(reach, key)] == key;
}

void remember_character(GlyphReach& reach, const Character& character)
{
    const uint32_t key = multi_byte_key(character);
    if (key == 0) {
        reach.rendered[static_cast<unsigned char>(character.text[0])] = true;
        return;
    }
    // The table stays at most three quarters full, so that a free slot ends every search.
    uint32_t& slot = reach.rendered_characters[slot_of(reach, key)];
    if (slot != 0 || reach.rendered_character_count >= REMEMBERED_CHARACTERS_MAX) return;
    slot = key;
    ++reach.rendered_character_count;
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
    if (!(points > 0.0 && points < 1.0e6)) return int64_t{1} << 40;
    const double em = points * 96.0 / 72.0;  // libgd draws at 96 dots per inch
    return 2 * static_cast<int64_t>(std::ceil(em)) + 2;
}

void learn_row(GlyphReach& reach, const Canvas& canvas, const char* text, const TextBox& box)
{
    if (!pen_is_sane(canvas)) return;
    learn_box(reach, canvas, box);
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (stands_for_itself(*p)) reach.rendered[*p] = true;
    }
}

void learn_glyph(GlyphReach& reach, const Canvas& canvas, const Character& character, const TextBox& box)
{
    if (!pen_is_sane(canvas)) return;
    learn_box(reach, canvas, box);
    remember_character(reach, character);
}

bool row_is_unseen(const Canvas& canvas, const GlyphReach& reach, const char* text)
{
    return canvas.draw_everything == 0 && row_is_known(reach, text) && baseline_out_of_reach(canvas, reach);
}

bool glyph_is_unseen(const Canvas& canvas, const GlyphReach& reach, const Character& character)
{
    if (canvas.draw_everything != 0 || !character_is_known(reach, character)) return false;
    const int64_t clearance = reach_clearance(canvas);
    const int64_t x = canvas.pen_x;
    return baseline_out_of_reach(canvas, reach) || x - reach.left - clearance >= gdImageSX(canvas.image) ||
           x + reach.right + clearance < 0;
}

bool row_needs_no_measuring(const Canvas& canvas, const GlyphReach& reach, const char* text, int32_t extent_x)
{
    return extent_x >= gdImageSX(canvas.image) && row_is_unseen(canvas, reach, text);
}

}  // namespace vedad
