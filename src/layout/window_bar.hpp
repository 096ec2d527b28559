#pragma once

#include <cstdint>

#include "base/options.hpp"
#include "base/rgb.hpp"
#include "canvas/canvas.hpp"

namespace vedad {

// The bar's colour: a little lighter than a dark page, a little darker than a light one.
Rgb window_bar_color(const Rgb& background);

// How tall the bar is over a page whose rows are `line_height` apart, at `scale`.
int32_t window_bar_height(int32_t line_height, int32_t scale);

// The three buttons of the mac style: their centres' x, and their radius, at scale 1.
inline constexpr int32_t WINDOW_BUTTON_X[] = {20, 40, 60};
inline constexpr double WINDOW_BUTTON_RADIUS = 6.0;
inline constexpr uint32_t WINDOW_BUTTON_COLORS[] = {0xff5f57, 0xfebc2e, 0x28c840};

// Puts a title bar in `style` above the page, as wide as it, with `title` centred in it in the
// page's font and size, in the foreground muted towards the bar.
void add_window_bar(Canvas& canvas, const Options& options, const char* title, int32_t scale);

}  // namespace vedad
