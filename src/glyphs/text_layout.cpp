#include "glyphs/text_layout.hpp"

#include <algorithm>
#include <cmath>

namespace vedad {

namespace {

// libgd's spacing of lines for a newline inside a text, in font heights.
constexpr double LINE_SPACE = 1.05;

// How the character is asked to be shown by the variation selector after it, if any.
Presentation presentation_of(const std::vector<uint32_t>& characters, size_t i)
{
    if (i + 1 < characters.size()) {
        if (characters[i + 1] == 0xFE0F) return Presentation::EMOJI;
        if (characters[i + 1] == 0xFE0E) return Presentation::TEXT;
    }
    return Presentation::DEFAULT;
}

// How a cluster asks to be shown: as an emoji, or as its first character asks.
Presentation presentation_of_cluster(const uint32_t* characters, size_t count)
{
    return is_emoji_sequence(characters, count) ? Presentation::EMOJI
           : count > 1 && characters[1] == 0xFE0E ? Presentation::TEXT
                                                  : Presentation::DEFAULT;
}

// The face and glyph a character the main face lacks is drawn with; false when no other face
// has it.
bool find_fallback(GlyphSources sources, uint32_t character, Presentation presentation, double points,
                   PlacedGlyph& glyph)
{
    if (!wants_fallback(character)) return false;
    Face* face = fallback_face(sources.fallback, sources.faces, character, presentation, points, sources.style);
    if (face == nullptr) return false;
    SizedFace* sized = face_at_size(*face, points, sources.color_band);
    if (sized == nullptr) return false;
    const FT_UInt glyph_index = face_glyph_index(*face, character);
    const CachedGlyph* layout = face_layout_glyph(*face, *sized, glyph_index);
    if (layout == nullptr) return false;
    glyph = PlacedGlyph{character, face, sized, glyph_index, layout, layout->layout.advance, 0, 0, 0, 0};
    return true;
}

// libgd's rotation of a point of the layout by an angle of 0, scaled to the drawing
// resolution, from the text's origin (x, y).
constexpr double SIN_A = 0.0;
constexpr double COS_A = 1.0;
constexpr double TO_DRAWING = static_cast<double>(DRAWING_RESOLUTION) / (64 * LAYOUT_RESOLUTION);

}  // namespace

bool is_line_break(uint32_t character)
{
    return character == '\r' || character == '\n';
}

namespace {

// The face a cluster of several code points is shaped in: a colour face for an emoji
// sequence where one has its first character, else the face with that character.
Face* cluster_face(GlyphSources sources, const uint32_t* characters, size_t count, Face& face, double points,
                   Missing missing)
{
    const bool fallback = missing != Missing::BOX && wants_fallback(characters[0]);
    if (fallback && is_emoji_sequence(characters, count)) {
        Face* emoji = fallback_face(sources.fallback, sources.faces, characters[0], Presentation::EMOJI, points,
                                    sources.style);
        if (emoji != nullptr && emoji->color) return emoji;
    }
    if (face_glyph_index(face, characters[0]) != 0) return &face;
    if (!fallback) return nullptr;
    return fallback_face(sources.fallback, sources.faces, characters[0], presentation_of_cluster(characters, count),
                         points, sources.style);
}

// Places the glyphs of the `count` characters shaped whole in `face`; false, having placed
// nothing, when they cannot be shaped there.
bool place_shaped(GlyphSources sources, const uint32_t* characters, size_t count, Face& face, double points,
                  std::vector<PlacedGlyph>& placed)
{
    SizedFace* sized = face_at_size(face, points, sources.color_band);
    std::vector<ShapedGlyph>& shaped = sources.shapers->shaped;
    if (sized == nullptr || !shape_cluster(*sources.shapers, face, *sized, characters, count, shaped)) return false;
    const size_t first = placed.size();
    for (const ShapedGlyph& glyph : shaped) {
        const CachedGlyph* layout = face_layout_glyph(face, *sized, glyph.glyph_index);
        if (layout == nullptr) {
            placed.resize(first);
            return false;
        }
        // Advances come from the cache, as every glyph's, so that a cluster that shapes to one
        // glyph moves the pen as that glyph does; marks that HarfBuzz puts on others move it
        // not at all.
        const FT_Pos advance = glyph.advance != 0 ? layout->layout.advance : 0;
        placed.push_back(PlacedGlyph{characters[0], &face, sized, glyph.glyph_index, layout, advance, 0, 0, 0, 0,
                                     glyph.offset_x, -glyph.offset_y});
    }
    return true;
}

// Where the cluster that begins at `i` ends.
size_t cluster_end(const std::vector<char>& starts, size_t i)
{
    size_t end = i + 1;
    while (end < starts.size() && starts[end] == 0) ++end;
    return end;
}

// Where the run of characters from `i` that `face` draws ends, before a line break, a
// character the face lacks or an emoji sequence, which is shaped on its own.
size_t run_end(const std::vector<uint32_t>& characters, const std::vector<char>& starts, size_t i, Face& face)
{
    size_t end = i;
    while (end < characters.size() && !is_line_break(characters[end]) && face_glyph_index(face, characters[end]) != 0) {
        if (!starts.empty() && starts[end] != 0) {
            const size_t next = cluster_end(starts, end);
            if (next - end > 1 && is_emoji_sequence(&characters[end], next - end)) break;
        }
        ++end;
    }
    return end;
}

}  // namespace

namespace {

// Places the glyph of character i as libgd chooses it: from `face`, kerned after the glyph
// before (`previous`), or from a fallback face when `missing` asks for it. False when a glyph
// does not load. Always inlined: it is the whole loop of most texts, and a call per character
// costs a page of them a third more.
[[gnu::always_inline]] inline bool place_character(GlyphSources sources, const std::vector<uint32_t>& characters,
                                                   size_t i, Face& face, SizedFace& sized, double points,
                                                   Missing missing, FT_UInt& previous, std::vector<PlacedGlyph>& placed)
{
    const uint32_t character = characters[i];
    const FT_UInt glyph_index = face_glyph_index(face, character);
    if (glyph_index == 0 && missing != Missing::BOX) {
        PlacedGlyph fallback_glyph;
        if (find_fallback(sources, character, presentation_of(characters, i), points, fallback_glyph)) {
            if (missing == Missing::FALLBACK_IN_CELL) {
                // The cell is laid out as for the font's own box: the same box and advance.
                // The picture still comes from the other face.
                const CachedGlyph* box_glyph = face_layout_glyph(face, sized, 0);
                if (box_glyph == nullptr) return false;
                fallback_glyph.glyph = box_glyph;
                fallback_glyph.advance = box_glyph->layout.advance;
            }
            placed.push_back(fallback_glyph);
            previous = 0;
            return true;
        }
    }
    FT_Pos kerning = 0;
    if (face.kerned && previous != 0 && glyph_index != 0) kerning = face_kerning(face, sized, previous, glyph_index);
    const CachedGlyph* glyph = face_layout_glyph(face, sized, glyph_index);
    if (glyph == nullptr) return false;
    if (kerning != 0) placed.back().advance += kerning;
    placed.push_back(PlacedGlyph{character, &face, &sized, glyph_index, glyph, glyph->layout.advance, 0, 0, 0, 0});
    previous = is_line_break(character) ? 0 : glyph_index;
    return true;
}

}  // namespace

bool choose_glyphs(GlyphSources sources, const std::vector<uint32_t>& characters, Face& face, SizedFace& sized,
                   double points, Missing missing, std::vector<PlacedGlyph>& placed)
{
    placed.clear();
    FT_UInt previous = 0;
    const bool shaping = sources.shapers != nullptr;
    const bool ligatures = sources.ligatures && shaping && characters.size() > 1;
    // Text with nothing that could join a cluster, the most of it, is laid out glyph by glyph.
    if (!ligatures && (!shaping || !may_join(characters))) {
        for (size_t i = 0; i < characters.size(); ++i) {
            if (!place_character(sources, characters, i, face, sized, points, missing, previous, placed)) return false;
        }
        return true;
    }
    std::vector<char> unshaped;
    std::vector<char>& starts = shaping ? sources.shapers->starts : unshaped;
    if (shaping) cluster_starts(characters, starts);
    size_t run_tried_until = 0;  // a run that could not be shaped is not tried again
    for (size_t i = 0; i < characters.size(); ++i) {
        if (ligatures && i >= run_tried_until) {
            const size_t end = run_end(characters, starts, i, face);
            run_tried_until = std::max(end, i + 1);
            if (end - i > 1 && place_shaped(sources, &characters[i], end - i, face, points, placed)) {
                previous = 0;
                i = end - 1;
                continue;
            }
        }
        if (!starts.empty() && starts[i] != 0) {
            const size_t end = cluster_end(starts, i);
            Face* cluster_in = end - i > 1 && !is_line_break(characters[i])
                                   ? cluster_face(sources, &characters[i], end - i, face, points, missing)
                                   : nullptr;
            if (cluster_in != nullptr && place_shaped(sources, &characters[i], end - i, *cluster_in, points, placed)) {
                previous = 0;
                i = end - 1;
                continue;
            }
        }
        if (!place_character(sources, characters, i, face, sized, points, missing, previous, placed)) return false;
    }
    return true;
}

bool place_pens(std::vector<PlacedGlyph>& placed, double points, int x, int y, Corners& box)
{
    FT_Vector pen{0, 0};
    FT_Vector total_min{0, 0};
    FT_Vector total_max{0, 0};
    for (size_t i = 0; i < placed.size(); ++i) {
        PlacedGlyph& glyph = placed[i];
        if (glyph.character == '\r') {
            pen.x = 0;
            continue;
        }
        if (glyph.character == '\n') {
            pen.x = 0;
            pen.y += LINE_SPACE * points * 64 * LAYOUT_RESOLUTION / POINTS_PER_INCH;
            pen.y &= ~63;
            continue;
        }
        const GlyphLayout& layout = glyph.glyph->layout;
        const int advance = static_cast<int>(glyph.advance);  // libgd keeps it in an int
        const FT_Vector glyph_min{pen.x + layout.bearing_x, pen.y - layout.bearing_y};
        const FT_Vector glyph_max{pen.x + advance, glyph_min.y + layout.height};
        if (i == 0) {
            total_min = glyph_min;
            total_max = glyph_max;
        } else {
            total_min.x = std::min(total_min.x, glyph_min.x);
            total_min.y = std::min(total_min.y, glyph_min.y);
            total_max.x = std::max(total_max.x, glyph_max.x);
            total_max.y = std::max(total_max.y, glyph_max.y);
        }
        glyph.pen_x = pen.x + glyph.offset_x;
        glyph.pen_y = pen.y + glyph.offset_y;
        pen.x += advance;
    }

    box = {
        x + (total_min.x * COS_A + total_max.y * SIN_A) * TO_DRAWING,
        y - (total_min.x * SIN_A - total_max.y * COS_A) * TO_DRAWING,
        x + (total_max.x * COS_A + total_max.y * SIN_A) * TO_DRAWING,
        y - (total_max.x * SIN_A - total_max.y * COS_A) * TO_DRAWING,
        x + (total_max.x * COS_A + total_min.y * SIN_A) * TO_DRAWING,
        y - (total_max.x * SIN_A - total_min.y * COS_A) * TO_DRAWING,
        x + (total_min.x * COS_A + total_min.y * SIN_A) * TO_DRAWING,
        y - (total_min.x * SIN_A - total_min.y * COS_A) * TO_DRAWING,
    };
    return std::all_of(box.begin(), box.end(), [](double corner) { return std::fabs(corner) < SANE_COORDINATE; });
}

bool place_image(PlacedGlyph& glyph, const GlyphImage& image, int x, int y)
{
    const FT_Pos pen_x = glyph.pen_x;
    const FT_Pos pen_y = glyph.pen_y;
    const double left =
        x + (pen_x * COS_A + pen_y * SIN_A) * DRAWING_RESOLUTION / (LAYOUT_RESOLUTION * 64) + image.left;
    const double top = y - (pen_x * SIN_A - pen_y * COS_A) * DRAWING_RESOLUTION / (LAYOUT_RESOLUTION * 64) - image.top;
    if (!(std::fabs(left) < SANE_COORDINATE && std::fabs(top) < SANE_COORDINATE)) return false;
    glyph.left = static_cast<int>(left);
    glyph.top = static_cast<int>(top);
    return true;
}

}  // namespace vedad
