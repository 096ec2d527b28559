#include "canvas/draw.hpp"

#include <array>
#include <cstdint>

#include "main/fail.hpp"

namespace vedad {

namespace {

// Draws at the pen and returns the advance, the width of the drawn text's bounding box.
int32_t draw_at_pen(Canvas& canvas, const char* text)
{
    std::array<int, 8> box{};
    const char* error = gdImageStringFT(canvas.image, box.data(), canvas.foreground_color,
                                        const_cast<char*>(canvas.font_name), canvas_point_size(canvas),
                                        0.0, canvas.pen_x, canvas.pen_y, const_cast<char*>(text));
    if (error != nullptr) fail("error: while rendering: %s\n", error);
    // libgd's corners follow the pen, which may stand anywhere in the 32-bit range.
    return add_clamped(box[2], -static_cast<int64_t>(box[0]));
}

void draw_one(Canvas& canvas, char c)
{
    const int32_t cell_start = canvas.pen_x;
    const char text[2] = {c, '\0'};
    canvas.pen_x = add_clamped(canvas.pen_x, draw_at_pen(canvas, text));
    if (canvas.fixed_advance != 0) canvas.pen_x = add_clamped(cell_start, canvas.cell_width);
}

}  // namespace

int32_t add_clamped(int64_t a, int64_t b)
{
    int64_t sum = a + b;
    if (sum > INT32_MAX) return INT32_MAX;
    if (sum < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(sum);
}

void canvas_draw_text(Canvas& canvas, const char* text)
{
    canvas.pen_x = add_clamped(canvas.pen_x, draw_at_pen(canvas, text));
}

void canvas_draw_char(Canvas& canvas, int32_t c)
{
    if (c == '\n') {
        canvas_move_to(canvas, 0, add_clamped(canvas.pen_y, canvas.line_height));
        return;
    }
    if (c == '\t') {
        for (int32_t i = 0; i < canvas.tab_width; ++i) draw_one(canvas, ' ');
        return;
    }
    draw_one(canvas, static_cast<char>(c & 0xff));
}

}  // namespace vedad
