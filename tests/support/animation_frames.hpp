#pragma once

#include <filesystem>
#include <vector>

#include "support/test_support.hpp"

namespace vedad_test {

// One frame of an animated picture as a viewer shows it: the whole picture with every frame
// before it laid under it, and how long it stays (hundredths of a second for GIF, ms for WebP).
struct Frame {
    Image image;
    int duration = 0;
};

struct Animation {
    int loops = -1;  // GIF: the repeat count of its loop block, -1 when it has none; WebP: its loop count
    std::vector<Frame> frames;
};

// Decodes every frame of a GIF (with giflib) or of an animated WebP (with libwebp's animation
// decoder); an animation with no frames when the file cannot be read.
Animation read_gif(const std::filesystem::path& path);
Animation read_animated_webp(const std::filesystem::path& path);

// Whether two images have the same size and the same colour in every pixel (alpha left out).
bool same_pixels(const Image& a, const Image& b);

}  // namespace vedad_test
