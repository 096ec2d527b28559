#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fonts/face_style.hpp"

namespace vedad {

// Installed fonts found through fontconfig: by the name users write ("FreeMono", "DejaVu Sans
// Mono", "monospace") and by a character they have. The configuration is loaded when it is
// first needed, once per run; FONTCONFIG_FILE chooses another one, as for every program
// that uses fontconfig.

// A font file and the face in it (a collection holds several).
struct FontFile {
    std::string path;
    int index = 0;
};

// fontconfig's configuration and the sorted faces, loaded when first needed.
struct FontconfigState;

struct FontLookup {
    FontLookup();
    FontLookup(const FontLookup&) = delete;
    FontLookup& operator=(const FontLookup&) = delete;
    ~FontLookup();

    std::unique_ptr<FontconfigState> state;
};

// Whether fontconfig has been started, and whether starting it failed.
bool font_lookup_started(const FontLookup& lookup);
bool font_lookup_failed(const FontLookup& lookup);

// The file of the installed font that `name` names: a family or one of the families the
// configuration takes for it (Courier may be Nimbus Mono PS), or, for a name the
// configuration replaces by families (monospace, sans-serif), its first choice. False when
// no installed font has that name: fontconfig's nearest other face is not taken.
bool font_lookup_name(FontLookup& lookup, const char* name, FontFile& file);

// The face of `regular`'s family in `style`, found among the installed fonts: bold is a
// weight of demibold or more, italic any slant (an oblique face too), and the rest of the face
// (its width, and its weight or slant where the style does not change them) stays as
// `regular` has it. `regular` need not be installed: its family is read from the file. False
// when the family has no such face.
bool font_lookup_styled(FontLookup& lookup, const FontFile& regular, FaceStyle style, FontFile& styled);

// How a character is asked to be shown: as its own default, or by a variation selector after
// it, U+FE0F as an emoji and U+FE0E as text.
enum class Presentation : uint8_t { DEFAULT, EMOJI, TEXT };

// The faces that have `character`, in the order fontconfig prefers them among monospace
// faces (colour faces first for a character shown as an emoji): each call gives the next one
// after `position`, which starts at 0. False when there is none left.
bool font_lookup_character(FontLookup& lookup, uint32_t character, Presentation presentation, size_t& position,
                           FontFile& file);

// An installed font family, by the name --font= takes for it, and the styles it comes in.
struct FontFamily {
    std::string name;
    std::vector<std::string> styles;
};

// Which families a listing holds.
enum class FontListing : uint8_t {
    MONOSPACE,  // fonts whose characters are all one or two cells wide (spacing mono, dual or charcell)
    ALL,
};

// The installed font families, sorted by name (ASCII case aside), each with its styles
// sorted; a family or style is named by its first name, the English one where the font has
// several. A name is written as --font= reads it: '\\', '-', ':' and ',' after a backslash.
// Empty when fontconfig cannot be started.
std::vector<FontFamily> font_lookup_families(FontLookup& lookup, FontListing listing);

// Whether `character` is shown as an emoji unless asked otherwise.
bool is_emoji_presentation(uint32_t character);

}  // namespace vedad
