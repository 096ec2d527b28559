#include "glyphs/face_cache.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

#include <gd.h>

#include "base/messages.hpp"
#include "fonts/font_choice.hpp"
#include "fonts/font_file.hpp"
#include "glyphs/color_glyph.hpp"

#include FT_FONT_FORMATS_H
#include FT_GLYPH_H
#include FT_OUTLINE_H
#include FT_SIZES_H

namespace vedad {

namespace {

// libgd loads every glyph, for the layout and for drawing, with these flags.
constexpr FT_Int32 LOAD_FLAGS = FT_LOAD_DEFAULT;

// The character map libgd chooses: the first that is Unicode, Microsoft Symbol or an Adobe
// encoding.
FT_CharMap libgd_charmap(FT_Face face)
{
    for (FT_Int i = 0; i < face->num_charmaps; ++i) {
        const FT_Encoding encoding = face->charmaps[i]->encoding;
        if (encoding == FT_ENCODING_MS_SYMBOL || encoding == FT_ENCODING_UNICODE ||
            encoding == FT_ENCODING_ADOBE_CUSTOM || encoding == FT_ENCODING_ADOBE_STANDARD) {
            return face->charmaps[i];
        }
    }
    return nullptr;
}

bool library_ready(FaceCache& cache)
{
    if (cache.library == nullptr && !cache.library_failed) {
        if (FT_Init_FreeType(&cache.library) != 0) {
            cache.library = nullptr;
            cache.library_failed = true;
        }
    }
    return cache.library != nullptr;
}

// Opens the face and decides whether it can be drawn from here: TrueType outlines and
// OpenType CFF, read through a Unicode character map, are what the glyph path was proven
// on. libgd attaches metrics files to Type 1 fonts (any path holding ".pfa" or ".pfb"),
// reads symbol fonts at other codes, and bitmap strikes and variable fonts are not proven.
void open_face(FaceCache& cache, Face& face)
{
    if (!library_ready(cache)) return;
    if (face.path.find(".pfa") != std::string::npos || face.path.find(".pfb") != std::string::npos) return;
    if (FT_New_Face(cache.library, face.path.c_str(), face.index, &face.face) != 0) {
        face.face = nullptr;
        return;
    }
    FT_Face ft = face.face;
    const char* format = FT_Get_Font_Format(ft);
    if (format == nullptr || (std::strcmp(format, "TrueType") != 0 && std::strcmp(format, "CFF") != 0)) return;
    if (!FT_IS_SCALABLE(ft) || FT_HAS_FIXED_SIZES(ft) || FT_HAS_MULTIPLE_MASTERS(ft)) return;
    FT_CharMap charmap = libgd_charmap(ft);
    if (charmap == nullptr || charmap->encoding != FT_ENCODING_UNICODE) return;
    if (FT_Set_Charmap(ft, charmap) != 0) return;
    // libgd sets the rotation for an angle of 0: the identity.
    FT_Matrix identity{0x10000, 0, 0, 0x10000};
    FT_Set_Transform(ft, &identity, nullptr);
    face.kerned = !FT_IS_FIXED_WIDTH(ft) && FT_HAS_KERNING(ft);
    face.usable = true;
}

// Opens a face characters the main face lacks are drawn from. Its pixels are vedad's own, so
// any scalable face with a Unicode character map will do, and so will a colour bitmap face.
void open_other_face(FaceCache& cache, Face& face)
{
    if (!library_ready(cache)) return;
    if (FT_New_Face(cache.library, face.path.c_str(), face.index, &face.face) != 0) {
        face.face = nullptr;
        return;
    }
    FT_Face ft = face.face;
    if (!FT_IS_SCALABLE(ft)) {
        face.color = select_color_strike(ft);
        face.usable = face.color;
        return;
    }
    if (FT_Select_Charmap(ft, FT_ENCODING_UNICODE) != 0) return;
    FT_Matrix identity{0x10000, 0, 0, 0x10000};
    FT_Set_Transform(ft, &identity, nullptr);
    face.usable = true;
}

CachedGlyph& glyph_entry(SizedFace& sized, FT_UInt glyph_index)
{
    if (glyph_index >= sized.glyphs.size()) sized.glyphs.resize(glyph_index + 1);
    std::unique_ptr<CachedGlyph>& entry = sized.glyphs[glyph_index];
    if (entry == nullptr) entry = std::make_unique<CachedGlyph>();
    return *entry;
}

// A new size of the face set to the character size at `resolution`; null when FreeType
// refuses it.
FT_Size new_size(FT_Face face, FT_F26Dot6 char_size, FT_UInt resolution)
{
    FT_Size size = nullptr;
    if (FT_New_Size(face, &size) != 0) return nullptr;
    FT_Activate_Size(size);
    if (FT_Set_Char_Size(face, 0, char_size, resolution, resolution) != 0) {
        FT_Done_Size(size);
        return nullptr;
    }
    return size;
}

// Coverage in libgd's alpha levels, as its drawing reads a rendered bitmap. False for pixel
// modes libgd does not draw.
bool read_coverage(const FT_Bitmap& bitmap, GlyphImage& image)
{
    const bool gray = bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.num_grays >= 2;
    const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if ((!gray && !mono) || bitmap.pitch < 0) return false;
    image.width = static_cast<int32_t>(bitmap.width);
    image.rows = static_cast<int32_t>(bitmap.rows);
    image.colors.clear();
    image.levels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.rows), 0);
    for (int32_t row = 0; row < image.rows; ++row) {
        const unsigned char* line = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        uint8_t* out = image.levels.data() + static_cast<size_t>(row) * static_cast<size_t>(image.width);
        for (int32_t col = 0; col < image.width; ++col) {
            if (gray) {
                out[col] = static_cast<uint8_t>(line[col] * gdAlphaMax / (bitmap.num_grays - 1));
            } else {
                out[col] = (line[col >> 3] & (1 << (~col & 0x07))) != 0 ? gdAlphaTransparent : gdAlphaOpaque;
            }
        }
    }
    return true;
}

// The slant of a made italic: about 12 degrees, as FreeType slants its own obliques.
constexpr FT_Fixed SLANT = 0x0366A;

// Makes the loaded outline bold (thicker by a 24th of an em, and by half a pixel at least so that
// small text shows it; it grows to the right and up from where it stands) and italic (leaning
// right above the baseline, left below it).
void make_style(FT_Face face, FaceStyle made)
{
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return;
    if ((made & STYLE_BOLD) != 0) {
        constexpr FT_Pos HALF_PIXEL = 32;
        const FT_Pos strength = std::max(FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24, HALF_PIXEL);
        FT_Outline_EmboldenXY(&slot->outline, strength, strength);
    }
    if ((made & STYLE_ITALIC) != 0) {
        FT_Matrix slant{0x10000, SLANT, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &slant);
    }
}

// Loads and renders the glyph at the drawing size the way libgd does before drawing it, with
// the style `made` added.
bool render_glyph(FT_Face face, FT_UInt glyph_index, FaceStyle made, GlyphImage& image)
{
    if (FT_Load_Glyph(face, glyph_index, LOAD_FLAGS) != 0) return false;
    if (made != STYLE_REGULAR) make_style(face, made);
    FT_Glyph glyph = nullptr;
    if (FT_Get_Glyph(face->glyph, &glyph) != 0) return false;
    if (glyph->format != FT_GLYPH_FORMAT_BITMAP) {
        if (FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, 1) != 0) {
            FT_Done_Glyph(glyph);
            return false;
        }
    }
    const FT_BitmapGlyph bitmap = reinterpret_cast<FT_BitmapGlyph>(glyph);
    image.left = bitmap->left;
    image.top = bitmap->top;
    const bool read = read_coverage(bitmap->bitmap, image);
    FT_Done_Glyph(glyph);
    return read;
}

}  // namespace

Face::~Face()
{
    if (face != nullptr) FT_Done_Face(face);
}

FaceCache::~FaceCache()
{
    faces.clear();
    if (library != nullptr) FT_Done_FreeType(library);
}

Face* face_cache_find(FaceCache& cache, const char* font_name, double points)
{
    if (font_name[0] == '\0') return nullptr;  // libgd finds no font without a name
    const std::string_view name(font_name);
    for (const std::unique_ptr<Face>& face : cache.faces) {
        if (face->font_name == name && face->made == STYLE_REGULAR) return face->usable ? face.get() : nullptr;
    }
    std::string path;
    if (!libgd_font_path(font_name, points, path)) return nullptr;
    auto face = std::make_unique<Face>();
    face->font_name = font_name;
    face->path = std::move(path);
    open_face(cache, *face);
    cache.faces.push_back(std::move(face));
    return cache.faces.back()->usable ? cache.faces.back().get() : nullptr;
}

Face* face_cache_find_made(FaceCache& cache, const char* font_name, double points, FaceStyle made)
{
    if (made == STYLE_REGULAR) return face_cache_find(cache, font_name, points);
    const std::string_view name(font_name);
    for (const std::unique_ptr<Face>& face : cache.faces) {
        if (face->font_name == name && face->made == made) return face->usable ? face.get() : nullptr;
    }
    // The face libgd finds for the name, opened again to make the style from.
    const Face* own = face_cache_find(cache, font_name, points);
    if (own == nullptr) return nullptr;
    auto face = std::make_unique<Face>();
    face->font_name = font_name;
    face->path = own->path;
    face->index = own->index;
    face->made = made;
    open_face(cache, *face);
    cache.faces.push_back(std::move(face));
    return cache.faces.back()->usable ? cache.faces.back().get() : nullptr;
}

void face_cache_use_face(FaceCache& cache, const char* font_name, const FontFile& file)
{
    for (std::unique_ptr<Face>& face : cache.faces) {
        // No longer found by that name, whatever style is made from it.
        if (face->font_name == font_name) face->font_name.clear();
    }
    auto face = std::make_unique<Face>();
    face->font_name = font_name;
    face->path = file.path;
    face->index = file.index;
    if (is_regular_file(face->path)) open_face(cache, *face);
    cache.faces.push_back(std::move(face));
}

Face* face_cache_open_file(FaceCache& cache, const FontFile& file)
{
    for (const std::unique_ptr<Face>& face : cache.faces) {
        if (face->font_name.empty() && face->made == STYLE_REGULAR && face->path == file.path &&
            face->index == file.index) {
            return face->usable ? face.get() : nullptr;
        }
    }
    auto face = std::make_unique<Face>();
    face->path = file.path;
    face->index = file.index;
    if (is_regular_file(face->path)) {
        open_other_face(cache, *face);
    } else {
        tell_once("warning: font file " + face->path + " is not a regular file; not drawn from\n");
    }
    cache.faces.push_back(std::move(face));
    return cache.faces.back()->usable ? cache.faces.back().get() : nullptr;
}

FT_UInt face_glyph_index(Face& face, uint32_t character)
{
    auto found = face.glyph_indices.find(character);
    if (found != face.glyph_indices.end()) return found->second;
    const FT_UInt glyph_index = FT_Get_Char_Index(face.face, character);
    face.glyph_indices.emplace(character, glyph_index);
    return glyph_index;
}

namespace {

// A colour face at a size: its largest strike, scaled to the rows of `band`. Layout and
// drawing read the same strike.
SizedFace* color_face_at_size(Face& face, FT_F26Dot6 char_size, double points, const ColorBand& band)
{
    for (const std::unique_ptr<SizedFace>& sized : face.sizes) {
        if (sized->char_size == char_size && sized->color_band == band) return sized.get();
    }
    FT_Size size = nullptr;
    if (FT_New_Size(face.face, &size) != 0) return nullptr;
    FT_Activate_Size(size);
    if (!select_color_strike(face.face)) {
        FT_Done_Size(size);
        return nullptr;
    }
    auto sized = std::make_unique<SizedFace>();
    sized->char_size = char_size;
    sized->layout_size = size;
    sized->drawing_size = size;
    sized->drawing_ready = Loaded::YES;
    sized->color_band = band;
    sized->color_scale = color_scale(face.face, points, band);
    sized->glyphs.resize(static_cast<size_t>(face.face->num_glyphs));
    face.sizes.push_back(std::move(sized));
    return face.sizes.back().get();
}

}  // namespace

SizedFace* face_at_size(Face& face, double points, const ColorBand& band)
{
    // libgd's conversion, truncating towards zero.
    const auto char_size = static_cast<FT_F26Dot6>(points * 64);
    if (face.color) return color_face_at_size(face, char_size, points, band);
    for (const std::unique_ptr<SizedFace>& sized : face.sizes) {
        if (sized->char_size == char_size) return sized.get();
    }
    FT_Size layout_size = new_size(face.face, char_size, LAYOUT_RESOLUTION);
    if (layout_size == nullptr) return nullptr;
    auto sized = std::make_unique<SizedFace>();
    sized->char_size = char_size;
    sized->layout_size = layout_size;
    sized->glyphs.resize(static_cast<size_t>(face.face->num_glyphs));
    face.sizes.push_back(std::move(sized));
    return face.sizes.back().get();
}

const CachedGlyph* face_layout_glyph(Face& face, SizedFace& sized, FT_UInt glyph_index)
{
    CachedGlyph& glyph = glyph_entry(sized, glyph_index);
    if (glyph.layout_loaded == Loaded::NOT_YET) {
        FT_Activate_Size(sized.layout_size);
        glyph.layout_loaded = Loaded::FAILED;
        if (face.color) {
            if (color_glyph_layout(face.face, glyph_index, sized.color_scale, glyph.layout)) {
                glyph.layout_loaded = Loaded::YES;
            }
        } else if (FT_Load_Glyph(face.face, glyph_index, LOAD_FLAGS) == 0) {
            const FT_Glyph_Metrics& metrics = face.face->glyph->metrics;
            glyph.layout = GlyphLayout{metrics.horiBearingX, metrics.horiBearingY, metrics.height, metrics.horiAdvance};
            glyph.layout_loaded = Loaded::YES;
        }
    }
    return glyph.layout_loaded == Loaded::YES ? &glyph : nullptr;
}

namespace {

bool drawing_size_ready(Face& face, SizedFace& sized)
{
    if (sized.drawing_ready == Loaded::NOT_YET) {
        sized.drawing_size = new_size(face.face, sized.char_size, DRAWING_RESOLUTION);
        sized.drawing_ready = sized.drawing_size != nullptr ? Loaded::YES : Loaded::FAILED;
    }
    return sized.drawing_ready == Loaded::YES;
}

bool render_at_drawing_size(Face& face, SizedFace& sized, FT_UInt glyph_index, GlyphImage& image)
{
    FT_Activate_Size(sized.drawing_size);
    return face.color ? color_glyph_image(face.face, glyph_index, sized.color_scale, image)
                      : render_glyph(face.face, glyph_index, face.made, image);
}

}  // namespace

const CachedGlyph* face_drawn_glyph(Face& face, SizedFace& sized, FT_UInt glyph_index)
{
    if (!drawing_size_ready(face, sized)) return nullptr;
    CachedGlyph& glyph = glyph_entry(sized, glyph_index);
    if (glyph.image_loaded == Loaded::NOT_YET) {
        glyph.image_loaded = render_at_drawing_size(face, sized, glyph_index, glyph.image) ? Loaded::YES : Loaded::FAILED;
    }
    return glyph.image_loaded == Loaded::YES ? &glyph : nullptr;
}

bool face_render_glyph(Face& face, SizedFace& sized, FT_UInt glyph_index, GlyphImage& image)
{
    return drawing_size_ready(face, sized) && render_at_drawing_size(face, sized, glyph_index, image);
}

FT_Pos face_kerning(Face& face, SizedFace& sized, FT_UInt left, FT_UInt right)
{
    const uint64_t pair = (uint64_t{left} << 32) | right;
    auto found = sized.kerning.find(pair);
    if (found != sized.kerning.end()) return found->second;
    FT_Activate_Size(sized.layout_size);
    FT_Vector delta{0, 0};
    // libgd reads the result whatever FreeType says.
    FT_Get_Kerning(face.face, left, right, FT_KERNING_DEFAULT, &delta);
    sized.kerning.emplace(pair, delta.x);
    return delta.x;
}

}  // namespace vedad
