#include "output/encode_png.hpp"

namespace vedad {

EncodedPicture encode_png(gdImagePtr image)
{
    int size = 0;
    EncodedPicture png;
    png.data = EncodedData(gdImagePngPtr(image, &size));
    if (size <= 0) png.data.reset();
    if (png.data != nullptr) png.size = static_cast<size_t>(size);
    return png;
}

}  // namespace vedad
