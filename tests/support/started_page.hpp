#pragma once

#include <cstdint>
#include <optional>

#include "canvas/canvas.hpp"
#include "support/test_support.hpp"

namespace vedad_test {

// A canvas set up the way a page starts: width x height, black, white text in the default
// font, its cell measured (after `line_spacing`, where given, replaces the canvas's own).
// The image goes with the object.
struct StartedPage {
    vedad::Canvas canvas;
    StartedPage(int width, int height, std::optional<int32_t> line_spacing = std::nullopt);
    ~StartedPage();
    StartedPage(const StartedPage&) = delete;
    StartedPage& operator=(const StartedPage&) = delete;
    // A copy of the picture so far.
    Image copy() const;
};

}  // namespace vedad_test
