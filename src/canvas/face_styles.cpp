#include "canvas/face_styles.hpp"

#include <cstdio>

#include "base/messages.hpp"
#include "glyphs/glyph_path.hpp"

namespace vedad {

namespace {

const char* named_face(const DrawingSettings& settings, FaceStyle style)
{
    switch (style) {
    case STYLE_BOLD:
        return settings.bold_font;
    case STYLE_ITALIC:
        return settings.italic_font;
    case STYLE_BOLD_ITALIC:
        return settings.bold_italic_font;
    case STYLE_REGULAR:
        break;
    }
    return "";
}

void announce(const Canvas& canvas, FaceStyle style)
{
    if (!canvas.glyphs->fallback.verbose) return;
    const StyledFont& styled = canvas.styled[style];
    if (styled.choice.path.empty()) return;
    std::string line = std::string(style_name(style)) + " font: " + styled.choice.path;
    if (styled.choice.index > 0) line += ", face " + std::to_string(styled.choice.index);
    if (styled.made != STYLE_REGULAR) line += std::string(", made ") + style_name(styled.made);
    tell_once(line + "\n");
}

void resolve(Canvas& canvas, FaceStyle style)
{
    StyledFont& styled = canvas.styled[style];
    if (styled.resolved) return;
    const char* named = named_face(canvas.settings, style);
    // Bold italic starts from the bold or italic face where the family has no face of its own.
    if (style == STYLE_BOLD_ITALIC && named[0] == '\0') {
        resolve(canvas, STYLE_BOLD);
        resolve(canvas, STYLE_ITALIC);
    }
    // Before a font file is chosen for the name, the name itself is what libgd gets.
    FontChoice regular;
    if (canvas.font.asked == canvas.settings.font_name) regular = canvas.font;
    else regular.libgd_name = canvas.settings.font_name;
    GlyphPath& glyphs = *canvas.glyphs;
    styled = resolve_styled_font(glyphs.faces.lookup, regular, style, named, canvas_point_size(canvas),
                                 canvas.styled[STYLE_BOLD], canvas.styled[STYLE_ITALIC]);
    // A face further into a collection is drawn as that face, not the file's first.
    if (styled.choice.index > 0 && named[0] != '\0') {
        face_cache_use_face(glyphs.faces, styled.choice.libgd_name.c_str(),
                            FontFile{styled.choice.path, styled.choice.index});
    }
    announce(canvas, style);
}

// Texts are drawn in `style` from now on; its face has been found.
void use(Canvas& canvas, FaceStyle style)
{
    canvas.style = style;
    canvas.glyphs->style = style == STYLE_REGULAR ? TextStyle{} : TextStyle{style, canvas.styled[style].made};
}

}  // namespace

FaceStyle canvas_page_style(const Canvas& canvas)
{
    return canvas.settings.bold != 0 ? STYLE_BOLD : STYLE_REGULAR;
}

void canvas_set_style(Canvas& canvas, FaceStyle style)
{
    style = with_style(style, canvas_page_style(canvas));
    if (style == canvas.style) return;
    if (style != STYLE_REGULAR && !canvas.styled[style].resolved) resolve(canvas, style);
    use(canvas, style);
}

void canvas_return_to_style(Canvas& canvas, FaceStyle style)
{
    use(canvas, style);
}

void canvas_prepare_styles(Canvas& canvas)
{
    canvas.styled = {};
    use(canvas, STYLE_REGULAR);
    for (const FaceStyle style : {STYLE_BOLD, STYLE_ITALIC, STYLE_BOLD_ITALIC}) {
        if (named_face(canvas.settings, style)[0] != '\0') resolve(canvas, style);
    }
}

}  // namespace vedad
