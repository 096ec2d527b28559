#include "glyphs/shape_cluster.hpp"

#include <cstdio>

#include <ft2build.h>
#include FT_SIZES_H
#include <unigbrk.h>

#include "glyphs/harfbuzz_library.hpp"

namespace vedad {

namespace {

// HarfBuzz's functions, loaded on first use; null when they cannot be.
const HarfBuzz* harfbuzz_of(Shapers& shapers)
{
    if (shapers.loaded == Loaded::NOT_YET) {
        const char* error = "";
        const bool loaded = harfbuzz_load(*shapers.harfbuzz, shapers.library, error);
        shapers.loaded = loaded ? Loaded::YES : Loaded::FAILED;
        if (!loaded && shapers.verbose) {
            std::fprintf(stderr, "warning: HarfBuzz cannot be loaded (%s): clusters are drawn code point by code point\n",
                         error != nullptr ? error : "");
        }
    }
    return shapers.loaded == Loaded::YES ? shapers.harfbuzz.get() : nullptr;
}

hb_font_t* shaper_of(Shapers& shapers, const HarfBuzz& harfbuzz, Face& face)
{
    auto known = shapers.fonts.find(&face);
    if (known != shapers.fonts.end()) return known->second;
    hb_font_t* font = harfbuzz.ft_font_create_referenced(face.face);
    shapers.fonts.emplace(&face, font);
    return font;
}

// Shapes the cluster with HarfBuzz (see shape_cluster).
bool shape_anew(Shapers& shapers, Face& face, SizedFace& sized, const uint32_t* characters, size_t count,
                std::vector<ShapedGlyph>& shaped)
{
    shaped.clear();
    const HarfBuzz* harfbuzz = harfbuzz_of(shapers);
    if (harfbuzz == nullptr) return false;
    const HarfBuzz& hb = *harfbuzz;
    hb_font_t* font = shaper_of(shapers, hb, face);
    if (font == nullptr) return false;
    // HarfBuzz reads the scale from the face's active size: the layout's, unless a colour face
    // keeps its strike (whose glyphs take their advances from the cache).
    if (!face.color) FT_Activate_Size(sized.layout_size);
    hb.ft_font_changed(font);
    hb_buffer_t* buffer = hb.buffer_create();
    hb.buffer_add_utf32(buffer, characters, static_cast<int>(count), 0, static_cast<int>(count));
    // Left to right, as every row is laid out.
    hb.buffer_set_direction(buffer, HB_DIRECTION_LTR);
    hb.buffer_guess_segment_properties(buffer);
    // A joiner or a variation selector left over draws nothing, not even a blank picture.
    hb.buffer_set_flags(buffer, HB_BUFFER_FLAG_REMOVE_DEFAULT_IGNORABLES);
    hb.shape(font, buffer, nullptr, 0);
    unsigned int length = 0;
    const hb_glyph_info_t* infos = hb.buffer_get_glyph_infos(buffer, &length);
    const hb_glyph_position_t* positions = hb.buffer_get_glyph_positions(buffer, &length);
    bool complete = length > 0;
    for (unsigned int i = 0; i < length && complete; ++i) {
        if (infos[i].codepoint == 0) complete = false;
        const bool own_scale = !face.color;
        shaped.push_back(ShapedGlyph{infos[i].codepoint, positions[i].x_advance, own_scale ? positions[i].x_offset : 0,
                                     own_scale ? positions[i].y_offset : 0});
    }
    hb.buffer_destroy(buffer);
    return complete;
}

}  // namespace

Shapers::Shapers() : library(HARFBUZZ_LIBRARY), harfbuzz(std::make_unique<HarfBuzz>()) {}

Shapers::~Shapers()
{
    for (auto& [face, font] : fonts) harfbuzz->font_destroy(font);
}

void cluster_starts(const std::vector<uint32_t>& characters, std::vector<char>& starts)
{
    starts.clear();
    if (!may_join(characters)) return;
    starts.resize(characters.size());
    uc_grapheme_breaks(reinterpret_cast<const ucs4_t*>(characters.data()), characters.size(), starts.data());
    if (!starts.empty()) starts[0] = 1;
}

bool shape_cluster(Shapers& shapers, Face& face, SizedFace& sized, const uint32_t* characters, size_t count,
                   std::vector<ShapedGlyph>& shaped)
{
    // A cluster met again in the same face at the same size shapes as it did.
    const bool kept = count <= SHAPED_CLUSTER_POINTS;
    ShapedKey key;
    if (kept) {
        key = ShapedKey{&sized, std::u32string(characters, characters + count)};
        const auto known = shapers.known.find(key);
        if (known != shapers.known.end()) {
            shaped = known->second.glyphs;
            return known->second.complete;
        }
    }
    const bool complete = shape_anew(shapers, face, sized, characters, count, shaped);
    if (kept && shapers.loaded == Loaded::YES) {
        if (shapers.known.size() >= SHAPED_CLUSTERS_KEPT) shapers.known.clear();
        shapers.known.emplace(std::move(key), ShapedCluster{shaped, complete});
    }
    return complete;
}

}  // namespace vedad
