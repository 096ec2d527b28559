#pragma once

#include <cstdint>

#include <gd.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include "output/encode_png.hpp"

namespace vedad {

// An animated lossless WebP made a frame at a time with libwebp's animation encoder, which
// keeps of each frame only what changed. Decoded, every frame is exactly the image added.
struct WebpFunctions;

struct WebpAnimation {
    const WebpFunctions* library = nullptr;  // null when libwebp cannot be loaded
    WebPAnimEncoder* encoder = nullptr;
    WebPConfig config{};
    WebPPicture picture{};  // the frame before, which the next is written over
    bool any_frame = false;
    bool failed = false;
};

// `plays`: how many times the animation plays, 0 for ever.
void webp_animation_begin(WebpAnimation& webp, int32_t width, int32_t height, int32_t plays);

// Adds the image (true colour, of the animation's size) as the frame that starts at
// `start_ms` milliseconds; only rows `top` to `bottom` may differ from the frame before (the
// first frame is taken whole).
void webp_animation_add_frame(WebpAnimation& webp, gdImagePtr image, int32_t top, int32_t bottom, int64_t start_ms);

// The whole animation, the last frame ending at `end_ms`; no bytes when it could not be
// encoded. Frees what the animation holds.
EncodedPicture webp_animation_finish(WebpAnimation& webp, int64_t end_ms);

}  // namespace vedad
