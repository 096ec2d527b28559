#include "glyphs/fallback_faces.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "base/messages.hpp"
#include "fonts/font_choice.hpp"

namespace vedad {

namespace {

void open_named(FallbackFaces& fallback, FaceCache& cache, double points)
{
    fallback.named_opened = true;
    for (const std::string& name : fallback.names) {
        // Found as the main font is; a file that is no regular file ends the run.
        const FontChoice choice = resolve_font(cache.lookup, name.c_str(), points, FontRole::FALLBACK);
        Face* face = choice.path.empty() ? nullptr : face_cache_open_file(cache, FontFile{choice.path, choice.index});
        if (face != nullptr) fallback.named.push_back(face);
        else tell_once("warning: fallback font '" + name + "' was not found or cannot be drawn from\n");
    }
}

bool has_character(Face& face, uint32_t character)
{
    return face_glyph_index(face, character) != 0;
}

void announce(FallbackFaces& fallback, const Face& face)
{
    if (!fallback.verbose) return;
    if (std::find(fallback.announced.begin(), fallback.announced.end(), &face) != fallback.announced.end()) return;
    fallback.announced.push_back(&face);
    tell_once("fallback font: " + face.path + "\n");
}

// The face of `face`'s family in `style`, opened once; null when it has none.
Face* styled_face(FallbackFaces& fallback, FaceCache& cache, const Face& face, FaceStyle style)
{
    const auto key = std::make_pair(&face, style);
    auto known = fallback.styled.find(key);
    if (known != fallback.styled.end()) return known->second;
    Face* styled = nullptr;
    FontFile file;
    if (!face.color && font_lookup_styled(cache.lookup, FontFile{face.path, face.index}, style, file)) {
        styled = face_cache_open_file(cache, file);
    }
    fallback.styled.emplace(key, styled);
    return styled;
}

// The regular face chosen for a character, or the same in `style`.
Face* in_style(FallbackFaces& fallback, FaceCache& cache, Face* chosen, uint32_t character, FaceStyle style)
{
    if (chosen == nullptr || style == STYLE_REGULAR) return chosen;
    Face* styled = styled_face(fallback, cache, *chosen, style);
    return styled != nullptr && has_character(*styled, character) ? styled : chosen;
}

}  // namespace

void fallback_configure(FallbackFaces& fallback, bool enabled, const char* list, bool verbose)
{
    fallback.enabled = enabled;
    fallback.verbose = verbose;
    if (fallback.named_opened || !fallback.names.empty()) return;
    std::string_view rest(list);
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        const std::string_view name = rest.substr(0, comma);
        if (!name.empty()) fallback.names.emplace_back(name);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
}

bool wants_fallback(uint32_t character)
{
    return character >= 0x20 && !(character >= 0x7F && character < 0xA0);
}

Face* fallback_face(FallbackFaces& fallback, FaceCache& cache, uint32_t character, Presentation presentation,
                    double points, FaceStyle style)
{
    // Code points need 21 bits; the presentation goes above them.
    const uint32_t key = character | (static_cast<uint32_t>(presentation) << 24);
    auto known = fallback.by_character.find(key);
    if (known != fallback.by_character.end()) {
        Face* face = in_style(fallback, cache, known->second, character, style);
        if (face != nullptr) announce(fallback, *face);
        return face;
    }
    if (!fallback.named_opened) open_named(fallback, cache, points);
    Face* chosen = nullptr;
    for (Face* face : fallback.named) {
        if (has_character(*face, character)) {
            chosen = face;
            break;
        }
    }
    // fontconfig's choice, or the next one where its first cannot be drawn from here.
    FontFile file;
    size_t position = 0;
    while (chosen == nullptr && font_lookup_character(cache.lookup, character, presentation, position, file)) {
        Face* face = face_cache_open_file(cache, file);
        if (face != nullptr && has_character(*face, character)) chosen = face;
    }
    fallback.by_character.emplace(key, chosen);
    Face* face = in_style(fallback, cache, chosen, character, style);
    if (face != nullptr) announce(fallback, *face);
    return face;
}

}  // namespace vedad
