#include "glyphs/glyph_outline.hpp"

#include FT_OUTLINE_H

namespace vedad {

namespace {

void append_point(std::string& path, const FT_Vector* point)
{
    path += std::to_string(point->x);
    path += ' ';
    path += std::to_string(point->y);
}

int move_to(const FT_Vector* to, void* user)
{
    auto& path = *static_cast<std::string*>(user);
    // Every contour is closed, the one before this included.
    if (!path.empty()) path += 'Z';
    path += 'M';
    append_point(path, to);
    return 0;
}

int line_to(const FT_Vector* to, void* user)
{
    auto& path = *static_cast<std::string*>(user);
    path += 'L';
    append_point(path, to);
    return 0;
}

int conic_to(const FT_Vector* control, const FT_Vector* to, void* user)
{
    auto& path = *static_cast<std::string*>(user);
    path += 'Q';
    append_point(path, control);
    path += ' ';
    append_point(path, to);
    return 0;
}

int cubic_to(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    auto& path = *static_cast<std::string*>(user);
    path += 'C';
    append_point(path, control1);
    path += ' ';
    append_point(path, control2);
    path += ' ';
    append_point(path, to);
    return 0;
}

}  // namespace

bool glyph_outline_path(Face& face, FT_UInt glyph_index, std::string& path)
{
    path.clear();
    if (face.face == nullptr || !FT_IS_SCALABLE(face.face)) return false;
    if (FT_Load_Glyph(face.face, glyph_index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0) {
        return false;
    }
    FT_GlyphSlot slot = face.face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
    FT_Outline_Funcs functions{};
    functions.move_to = move_to;
    functions.line_to = line_to;
    functions.conic_to = conic_to;
    functions.cubic_to = cubic_to;
    if (FT_Outline_Decompose(&slot->outline, &functions, &path) != 0) return false;
    if (!path.empty()) path += 'Z';
    return true;
}

}  // namespace vedad
