#pragma once

#include <cstddef>
#include <memory>

#include <gd.h>

namespace vedad {

struct GdFree {
    void operator()(void* data) const { gdFree(data); }
};
using EncodedData = std::unique_ptr<void, GdFree>;

// A picture encoded in memory, so that an encoder failure is seen before any file is
// touched, and the extension its files are named with.
struct EncodedPicture {
    EncodedData data;  // null when the image could not be encoded
    size_t size = 0;
    const char* extension = ".png";
};

// The image as a PNG: RGB, or RGBA when the image keeps its alpha.
EncodedPicture encode_png(gdImagePtr image);

}  // namespace vedad
