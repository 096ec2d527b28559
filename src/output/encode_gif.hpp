#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <gd.h>

#include "output/encode_png.hpp"
#include "output/picture_pixels.hpp"

namespace vedad {

// An animated GIF made a frame at a time with libgd's animation calls. Every frame is the
// part of the picture that changed since the frame before, the pixels that stayed the same
// inside it see-through. Colours are indices into one colour table shared by all frames
// while it has room (255 colours, one index kept for "unchanged"), so such frames are exact;
// a frame whose new colours do not fit brings a table of its own, of its own colours when
// they are few enough, else of libgd's nearest 255. GIF keeps no alpha: pixels are opaque.
struct GifAnimation {
    int32_t width = 0;
    int32_t height = 0;
    int loops = 0;  // as libgd takes it: -1 plays once, 0 forever, N repeats N times
    std::vector<int> colors;  // the shared table, index 0 the see-through one
    std::unordered_map<int, int> index_of;
    std::vector<unsigned char> frames;  // every frame's bytes, written after the header
    gdImagePtr shown = nullptr;  // the picture as the frames so far show it
    bool failed = false;
};

// `plays`: how many times the animation plays, 0 for ever.
void gif_begin(GifAnimation& gif, int32_t width, int32_t height, int32_t plays);

// Adds the image (true colour, of the animation's size) as the next frame, shown for
// `delay` hundredths of a second; only `changed` may differ from the frame before it (the
// first frame is taken whole).
void gif_add_frame(GifAnimation& gif, gdImagePtr image, int32_t left, int32_t top, int32_t right, int32_t bottom,
                   int64_t delay);

// The whole GIF; no bytes when a frame could not be encoded. Frees what the animation holds.
EncodedPicture gif_finish(GifAnimation& gif);

// A still picture as a GIF of one frame.
EncodedPicture encode_gif(const PictureArea& area);

}  // namespace vedad
