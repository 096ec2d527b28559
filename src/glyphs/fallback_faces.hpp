#pragma once

#include <cstdint>
#include <string>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "glyphs/face_cache.hpp"

namespace vedad {

// Where a character the main font lacks is drawn from: the faces named with
// --fallback-font, in their order, then the face fontconfig prefers for that character
// among monospace faces. The first face that has the character draws it.
struct FallbackFaces {
    bool enabled = false;
    bool verbose = false;             // name each face on standard error when first drawn from
    std::vector<std::string> names;   // names or paths, in order
    bool named_opened = false;
    std::vector<Face*> named;         // the faces of `names` that were found and open
    // By character and presentation (see character_key); null: no face has it.
    std::unordered_map<uint32_t, Face*> by_character;
    // The face of each face's family in a style, by face and style; null: the family has none.
    std::map<std::pair<const Face*, FaceStyle>, Face*> styled;
    std::vector<const Face*> announced;
};

// Sets the fallback up from the options: `list` holds names or paths separated by commas.
// A name that finds no font is warned about once and left out.
void fallback_configure(FallbackFaces& fallback, bool enabled, const char* list, bool verbose);

// Whether a character the main font lacks is looked for elsewhere: control characters are
// not, and draw the main font's missing-glyph box.
bool wants_fallback(uint32_t character);

// The face that draws `character`, which the main font lacks, shown as `presentation` asks;
// null when none has it. In a `style` other than regular, that face's family's own face of the
// style where it has one with the character; nothing is made for a fallback face.
Face* fallback_face(FallbackFaces& fallback, FaceCache& cache, uint32_t character, Presentation presentation,
                    double points, FaceStyle style = STYLE_REGULAR);

}  // namespace vedad
