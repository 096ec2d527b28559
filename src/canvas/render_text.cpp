#include "canvas/render_text.hpp"

#include "base/clamp.hpp"
#include "canvas/drawing_record.hpp"
#include "glyphs/glyph_path.hpp"

namespace vedad {

const char* canvas_render_text(const Canvas& canvas, gdImagePtr image, int32_t x, int32_t y, const char* text,
                               TextBox& box, Missing missing)
{
    box = TextBox{};
    const char* error = glyph_path_string(*canvas.glyphs, image, box.data(), canvas.foreground_color,
                                          canvas_libgd_font(canvas), canvas_point_size(canvas), x, y, text, missing);
    if (canvas.record != nullptr && image != nullptr && error == nullptr) {
        record_text(*canvas.record, canvas, x, y, add_clamped(x, box_width(box)), text, missing);
    }
    return error;
}

int32_t box_width(const TextBox& box)
{
    return add_clamped(box[2], -static_cast<int64_t>(box[0]));
}

}  // namespace vedad
