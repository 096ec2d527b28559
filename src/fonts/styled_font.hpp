#pragma once

#include "fonts/face_style.hpp"
#include "fonts/font_choice.hpp"

namespace vedad {

// Where text of one style is drawn from: a face of its own, or a face without that style with
// the rest made by FreeType (the outline emboldened, slanted or both).
struct StyledFont {
    bool resolved = false;
    FontChoice choice;             // the face's file, as the main font's is chosen
    FaceStyle made = STYLE_REGULAR;  // what is made of its outlines
};

// The face of `style` (bold, italic or bold italic) for the main font `regular`:
// - the one `named` names (a file path or a font name, as --font= takes), when not empty; the
//   run ends when none is found;
// - else the main font's family's own face of that style, found through fontconfig;
// - else, for bold italic, the family's own italic face emboldened or its bold face slanted;
// - else the main font with the style made.
// `bold` and `italic` are the resolved bold and italic faces, which bold italic starts from.
StyledFont resolve_styled_font(FontLookup& lookup, const FontChoice& regular, FaceStyle style, const char* named,
                               double points, const StyledFont& bold, const StyledFont& italic);

// "bold", "italic" or "bold italic", as messages name a style.
const char* style_name(FaceStyle style);

}  // namespace vedad
