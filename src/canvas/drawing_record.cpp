#include "canvas/drawing_record.hpp"

#include <cmath>
#include <map>
#include <tuple>
#include <string_view>

#include "base/clamp.hpp"
#include "base/utf8.hpp"
#include "canvas/canvas.hpp"
#include "canvas/render_text.hpp"
#include "glyphs/glyph_outline.hpp"
#include "glyphs/glyph_path.hpp"
#include "glyphs/shape_cluster.hpp"

namespace vedad {

namespace {

void lay_page(DrawingRecord& record, int32_t width, int32_t height)
{
    if (record.page_laid) return;
    record.under.push_back(RecordedShape{0, 0, width, height, record.page_color, false});
    record.page_laid = true;
}

void move_shape(RecordedShape& shape, int32_t dx, int32_t dy)
{
    shape.x = add_clamped(shape.x, dx);
    shape.y = add_clamped(shape.y, dy);
}

void move_all(DrawingRecord& record, int32_t dx, int32_t dy)
{
    for (RecordedShape& shape : record.under) move_shape(shape, dx, dy);
    for (RecordedShape& shape : record.shapes) move_shape(shape, dx, dy);
    for (RecordedText& text : record.texts) {
        text.y = add_clamped(text.y, dy);
        text.end_x = add_clamped(text.end_x, dx);
        for (int32_t& x : text.xs) x = add_clamped(x, dx);
    }
    move_shape(record.rounded, dx, dy);
    move_shape(record.shadow_shape, dx, dy);
}

}  // namespace

std::string canvas_font_family(const Canvas& canvas)
{
    const char* name = canvas.font.libgd_name.empty() ? canvas.settings.font_name : canvas.font.libgd_name.c_str();
    if (name == nullptr) return "";
    const Face* face = face_cache_find(canvas.glyphs->faces, name, canvas_point_size(canvas));
    if (face == nullptr || face->face == nullptr || face->face->family_name == nullptr) return "";
    std::string family;
    for (const char* c = face->face->family_name; *c != '\0'; ++c) {
        if (*c != '\'' && *c != '"' && *c != '\\' && static_cast<unsigned char>(*c) >= 0x20) family += *c;
    }
    return family;
}

void record_clear(DrawingRecord& record)
{
    record = DrawingRecord{};
}

void record_page_background(DrawingRecord& record, int32_t color)
{
    record.page_color = color;
}

void record_fill(DrawingRecord& record, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color)
{
    if (record.paused || x2 < x1 || y2 < y1) return;
    const int32_t width = clamp_to_int32(int64_t{x2} - x1 + 1);
    const int32_t height = clamp_to_int32(int64_t{y2} - y1 + 1);
    // A cell's background continues the run of equal cells before it in its row.
    for (size_t back = 0; back < 4 && back < record.shapes.size(); ++back) {
        RecordedShape& run = record.shapes[record.shapes.size() - 1 - back];
        if (!run.round && run.color == color && run.y == y1 && run.height == height &&
            int64_t{run.x} + run.width == x1) {
            run.width = clamp_to_int32(int64_t{run.width} + width);
            return;
        }
    }
    record.shapes.push_back(RecordedShape{x1, y1, width, height, color, false});
}

void record_border(DrawingRecord& record, int32_t width, int32_t height, int32_t left, int32_t top, int32_t right,
                   int32_t bottom, int32_t color)
{
    lay_page(record, width, height);
    move_all(record, left, top);
    const int32_t new_width = add_clamped(width, int64_t{left} + right);
    const int32_t new_height = add_clamped(height, int64_t{top} + bottom);
    record.under.insert(record.under.begin(), RecordedShape{0, 0, new_width, new_height, color, false});
    if (record.radius > 0) ++record.under_after_rounding;
}

void record_disc(DrawingRecord& record, double cx, double cy, double radius, int32_t color)
{
    const auto at = [](double v) { return static_cast<int32_t>(std::lround(v)); };
    record.shapes.push_back(
        RecordedShape{at(cx - radius), at(cy - radius), at(2 * radius), at(2 * radius), color, true});
}

void record_rounding(DrawingRecord& record, int32_t width, int32_t height, int32_t radius)
{
    lay_page(record, width, height);
    record.rounded = RecordedShape{0, 0, width, height, 0, false};
    record.radius = radius;
    record.under_after_rounding = 0;
}

void record_shadow(DrawingRecord& record, int32_t width, int32_t height, int32_t margin, int32_t offset,
                   int32_t blur)
{
    lay_page(record, width, height);
    move_all(record, margin, margin);
    record.shadow = true;
    record.shadow_shape = RecordedShape{margin, add_clamped(margin, offset), width, height, 0, false};
    record.shadow_blur = blur;
    if (record.radius > 0) record.under_after_rounding = 0;
}

void record_text(DrawingRecord& record, const Canvas& canvas, int32_t x, int32_t y, int32_t end_x, const char* text,
                 Missing missing)
{
    if (record.paused) return;
    RecordedText recorded;
    recorded.y = y;
    recorded.end_x = end_x;
    recorded.color = canvas.foreground_color;
    recorded.style = canvas.style;
    recorded.points = canvas_point_size(canvas);
    const std::string_view all(text);
    // Each grapheme cluster is written whole, so that whatever draws the SVG shapes it as the
    // picture did: its characters, and where each begins.
    std::vector<uint32_t> points;
    std::vector<size_t> starts_at;
    for (size_t at = 0; at < all.size();) {
        const size_t length = utf8_sequence_length(all.substr(at));
        points.push_back(length == 0 ? 0xFFFD : utf8_code_point(all.substr(at), length));
        starts_at.push_back(at);
        at += length == 0 ? 1 : length;
    }
    starts_at.push_back(all.size());
    std::vector<char> cluster_begins;
    cluster_starts(points, cluster_begins);
    std::string before;
    // Characters whose pen lies past the image's right edge never show: they are left out, and
    // a long row costs measurements only up to the edge.
    const int32_t right = gdImageSX(canvas.image);
    for (size_t i = 0; i < points.size();) {
        size_t end = i + 1;
        while (end < points.size() && !cluster_begins.empty() && cluster_begins[end] == 0) ++end;
        // Each cluster stands where the text before it, measured whole as libgd lays it
        // out, ends: its advances add up below a pixel, and where the measure ends at the
        // last glyph's ink rather than its pen, the glyphs' ink still lines up with the PNG's
        // in a rasteriser better than at the pens themselves.
        int32_t pen = x;
        if (!before.empty()) {
            TextBox box;
            canvas_render_text(canvas, nullptr, x, y, before.c_str(), box, missing);
            pen = add_clamped(x, box_width(box));
        }
        if (pen >= right) break;
        recorded.xs.push_back(pen);
        std::string cluster;
        for (size_t k = i; k < end; ++k) {
            const std::string_view unit = all.substr(starts_at[k], starts_at[k + 1] - starts_at[k]);
            // A byte that begins no character is drawn as libgd draws it; it is written as U+FFFD.
            cluster.append(utf8_sequence_length(unit) == 0 ? std::string_view("\xEF\xBF\xBD") : unit);
            before.append(unit);
        }
        recorded.characters.push_back(std::move(cluster));
        i = end;
    }
    if (!recorded.xs.empty()) record.texts.push_back(std::move(recorded));
}

namespace {

// The font name the texts of `style` are drawn in, as the canvas hands it to libgd.
const char* style_font_name(const Canvas& canvas, FaceStyle style)
{
    const StyledFont& styled = canvas.styled[style];
    if (style != STYLE_REGULAR && styled.resolved && styled.made == STYLE_REGULAR && !styled.choice.libgd_name.empty())
        return styled.choice.libgd_name.c_str();
    return canvas.font.libgd_name.empty() ? canvas.settings.font_name : canvas.font.libgd_name.c_str();
}

}  // namespace

void record_outlines(DrawingRecord& record, const Canvas& canvas)
{
    record.outlined = true;
    std::map<std::tuple<const Face*, FT_UInt, double>, int32_t> known;
    std::string path;
    for (RecordedText& text : record.texts) {
        text.outlines.assign(text.characters.size(), NO_OUTLINE);
        const char* name = style_font_name(canvas, text.style);
        Face* face = name == nullptr ? nullptr : face_cache_find(canvas.glyphs->faces, name, text.points);
        if (face == nullptr || face->face == nullptr || face->color || face->face->units_per_EM == 0) continue;
        const double scale = em_in_pixels(text.points) / face->face->units_per_EM;
        for (size_t i = 0; i < text.characters.size(); ++i) {
            const std::string_view character = text.characters[i];
            const size_t length = utf8_sequence_length(character);
            // A cluster of several characters is shaped: it is written as text.
            if (length == 0 || length != character.size()) continue;
            const FT_UInt glyph = face_glyph_index(*face, utf8_code_point(character, length));
            if (glyph == 0) continue;
            const auto key = std::make_tuple(face, glyph, scale);
            const auto found = known.find(key);
            if (found != known.end()) {
                text.outlines[i] = found->second;
                continue;
            }
            int32_t id = NO_OUTLINE;
            if (glyph_outline_path(*face, glyph, path)) {
                id = path.empty() ? BLANK_OUTLINE : static_cast<int32_t>(record.outlines.size());
                if (!path.empty()) record.outlines.push_back(RecordedOutline{path, scale});
            }
            known.emplace(key, id);
            text.outlines[i] = id;
        }
    }
}

}  // namespace vedad
