#include "fonts/styled_font.hpp"

#include <cstdlib>
#include <string_view>

#include "base/fail.hpp"
#include "fonts/font_file.hpp"

namespace vedad {

namespace {

// A face the family has of its own, drawn as the main font is: by its path.
FontChoice choice_of_file(const FontFile& file)
{
    FontChoice choice;
    choice.asked = file.path;
    choice.libgd_name = file.path;
    choice.path = file.path;
    choice.index = file.index;
    return choice;
}

// The packaged default font is FreeMono, whose bold and oblique faces the same package puts
// beside it: they are taken as they are, without starting fontconfig, as the default itself is
// (see font_choice.cpp). False where that file is not the main font or the face is missing.
bool packaged_sibling(const FontChoice& regular, FaceStyle style, FontFile& file)
{
    constexpr std::string_view packaged = VEDAD_DEFAULT_FONT_FILE;
    constexpr std::string_view family_file = "/FreeMono.ttf";
    if (!packaged.ends_with(family_file) || regular.path != packaged || std::getenv("FONTCONFIG_FILE") != nullptr) {
        return false;
    }
    constexpr const char* SUFFIXES[FACE_STYLES] = {"", "Bold", "Oblique", "BoldOblique"};
    file.path = std::string(packaged.substr(0, packaged.size() - 4)) + SUFFIXES[style] + ".ttf";
    file.index = 0;
    return is_regular_file(file.path);
}

StyledFont made_from(const FontChoice& choice, FaceStyle made)
{
    return StyledFont{true, choice, made};
}

}  // namespace

const char* style_name(FaceStyle style)
{
    switch (style) {
    case STYLE_BOLD:
        return "bold";
    case STYLE_ITALIC:
        return "italic";
    case STYLE_BOLD_ITALIC:
        return "bold italic";
    case STYLE_REGULAR:
        break;
    }
    return "regular";
}

StyledFont resolve_styled_font(FontLookup& lookup, const FontChoice& regular, FaceStyle style, const char* named,
                               double points, const StyledFont& bold, const StyledFont& italic)
{
    if (named != nullptr && named[0] != '\0') {
        const FontChoice choice = resolve_font(lookup, named, points, FontRole::FALLBACK);
        if (choice.path.empty()) {
            fail("%s font '%s' was not found%s", style_name(style), named, font_search_hint(choice, named).c_str());
        }
        return made_from(choice, STYLE_REGULAR);
    }
    FontFile file;
    if (packaged_sibling(regular, style, file)) return made_from(choice_of_file(file), STYLE_REGULAR);
    // Text is drawn from the first face of a file unless told otherwise: a face further into a
    // collection is left for the style made from the main font.
    if (!regular.path.empty() && font_lookup_styled(lookup, FontFile{regular.path, regular.index}, style, file) &&
        file.index == 0 && is_regular_file(file.path)) {
        return made_from(choice_of_file(file), STYLE_REGULAR);
    }
    // A face of one of the two styles is nearer bold italic than the regular one.
    if (style == STYLE_BOLD_ITALIC) {
        if (italic.made == STYLE_REGULAR) return made_from(italic.choice, STYLE_BOLD);
        if (bold.made == STYLE_REGULAR) return made_from(bold.choice, STYLE_ITALIC);
    }
    return made_from(regular, style);
}

}  // namespace vedad
