#include "glyphs/shape_cluster.hpp"

#include <algorithm>

#include <ft2build.h>
#include FT_SIZES_H
#include <hb-ft.h>
#include <hb.h>
#include <unigbrk.h>

namespace vedad {

namespace {

// Below U+0300 no character extends a cluster, and Prepend characters begin at U+0600.
constexpr uint32_t FIRST_JOINING = 0x300;

hb_font_t* shaper_of(Shapers& shapers, Face& face)
{
    auto known = shapers.fonts.find(&face);
    if (known != shapers.fonts.end()) return known->second;
    hb_font_t* font = hb_ft_font_create_referenced(face.face);
    shapers.fonts.emplace(&face, font);
    return font;
}

}  // namespace

Shapers::~Shapers()
{
    for (auto& [face, font] : fonts) hb_font_destroy(font);
}

void cluster_starts(const std::vector<uint32_t>& characters, std::vector<char>& starts)
{
    starts.clear();
    if (std::none_of(characters.begin(), characters.end(), [](uint32_t c) { return c >= FIRST_JOINING; })) return;
    starts.resize(characters.size());
    uc_grapheme_breaks(reinterpret_cast<const ucs4_t*>(characters.data()), characters.size(), starts.data());
    if (!starts.empty()) starts[0] = 1;
}

bool shape_cluster(Shapers& shapers, Face& face, SizedFace& sized, const uint32_t* characters, size_t count,
                   std::vector<ShapedGlyph>& shaped)
{
    shaped.clear();
    hb_font_t* font = shaper_of(shapers, face);
    if (font == nullptr) return false;
    // HarfBuzz reads the scale from the face's active size: the layout's, unless a colour face
    // keeps its strike (whose glyphs take their advances from the cache).
    if (!face.color) FT_Activate_Size(sized.layout_size);
    hb_ft_font_changed(font);
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf32(buffer, characters, static_cast<int>(count), 0, static_cast<int>(count));
    // Left to right, as every row is laid out.
    hb_buffer_set_direction(buffer, HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(buffer);
    // A joiner or a variation selector left over draws nothing, not even a blank picture.
    hb_buffer_set_flags(buffer, HB_BUFFER_FLAG_REMOVE_DEFAULT_IGNORABLES);
    hb_shape(font, buffer, nullptr, 0);
    unsigned int length = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &length);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &length);
    bool complete = length > 0;
    for (unsigned int i = 0; i < length && complete; ++i) {
        if (infos[i].codepoint == 0) complete = false;
        const bool own_scale = !face.color;
        shaped.push_back(ShapedGlyph{infos[i].codepoint, positions[i].x_advance, own_scale ? positions[i].x_offset : 0,
                                     own_scale ? positions[i].y_offset : 0});
    }
    hb_buffer_destroy(buffer);
    return complete;
}

}  // namespace vedad
