#pragma once

#include <memory>

#include <gd.h>

namespace vedad {

struct ImageDeleter {
    void operator()(gdImagePtr image) const { gdImageDestroy(image); }
};

// A libgd image destroyed with its owner.
using OwnedImage = std::unique_ptr<gdImage, ImageDeleter>;

}  // namespace vedad
