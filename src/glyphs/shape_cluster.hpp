#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/emoji_sequence.hpp"
#include "glyphs/face_cache.hpp"

struct hb_font_t;

namespace vedad {

struct HarfBuzz;

// Grapheme clusters of more than one code point (a letter and its marks, an emoji sequence, a
// flag) are shaped with HarfBuzz in one face: the glyphs it chooses, placed where it puts them.


// One glyph of a shaped cluster: its index in the face, the pen's advance after it and its
// offset from the pen (rightwards and upwards), in 26.6 units at the layout resolution.
struct ShapedGlyph {
    FT_UInt glyph_index;
    FT_Pos advance;
    FT_Pos offset_x;
    FT_Pos offset_y;
};

// Clusters of up to this many code points are kept shaped, up to this many of them (then
// forgotten all at once): a page of emoji repeats a few sequences many times over.
inline constexpr size_t SHAPED_CLUSTER_POINTS = 16;
inline constexpr size_t SHAPED_CLUSTERS_KEPT = 4096;

struct ShapedKey {
    const SizedFace* sized = nullptr;
    std::u32string characters;
    bool operator<(const ShapedKey& other) const
    {
        return sized != other.sized ? std::less<const SizedFace*>()(sized, other.sized) : characters < other.characters;
    }
};

struct ShapedCluster {
    std::vector<ShapedGlyph> glyphs;
    bool complete = false;
};

// HarfBuzz, loaded when the first cluster is shaped, and its view of each face shaped in, made
// once; destroyed before the faces are.
struct Shapers {
    Shapers();
    Shapers(const Shapers&) = delete;
    Shapers& operator=(const Shapers&) = delete;
    ~Shapers();

    // The library HarfBuzz is loaded from (tests name one that is not there), and whether it is.
    const char* library;
    Loaded loaded = Loaded::NOT_YET;
    std::unique_ptr<HarfBuzz> harfbuzz;
    // Tell on standard error, once, that clusters are drawn unshaped when it cannot be loaded.
    bool verbose = false;
    std::unordered_map<const Face*, hb_font_t*> fonts;
    std::map<ShapedKey, ShapedCluster> known;
    // Working space kept between calls.
    std::vector<char> starts;
    std::vector<ShapedGlyph> shaped;
};

// Below U+0300 no character extends a cluster, and Prepend characters begin at U+0600.
inline constexpr uint32_t FIRST_JOINING = 0x300;

// Whether any of `characters` could make a cluster of several code points.
inline bool may_join(const std::vector<uint32_t>& characters)
{
    for (const uint32_t character : characters) {
        if (character >= FIRST_JOINING) return true;
    }
    return false;
}

// Where each grapheme cluster of `characters` begins: `starts[i]` is true when one begins at
// character i. Empty when every character is a cluster of its own, as in text with nothing
// from U+0300 on (which is not looked at further).
void cluster_starts(const std::vector<uint32_t>& characters, std::vector<char>& starts);

// Shapes the `count` characters of one cluster in `face` at `sized`'s layout size; false when
// HarfBuzz cannot be loaded or cannot shape them, or a glyph is missing from the face.
bool shape_cluster(Shapers& shapers, Face& face, SizedFace& sized, const uint32_t* characters, size_t count,
                   std::vector<ShapedGlyph>& shaped);

}  // namespace vedad
