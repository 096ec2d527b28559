#include "output/encode_webp.hpp"

#include <cstdint>
#include <vector>

#include <webp/encode.h>

#include "output/picture_pixels.hpp"

namespace vedad {

namespace {

// Collects what the encoder writes.
int collect(const uint8_t* data, size_t size, const WebPPicture* picture)
{
    auto& bytes = *static_cast<std::vector<unsigned char>*>(picture->custom_ptr);
    bytes.insert(bytes.end(), data, data + size);
    return 1;
}

}  // namespace

EncodedPicture encode_webp(gdImagePtr image)
{
    EncodedPicture webp;
    webp.extension = ".webp";
    if (image == nullptr || !image->trueColor || gdImageSX(image) < 1 || gdImageSY(image) < 1) return webp;
    const int width = gdImageSX(image);
    const int height = gdImageSY(image);
    if (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION) return webp;
    const bool keep_alpha = image->saveAlphaFlag != 0;

    std::vector<uint8_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    uint8_t* to = rgba.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba pixel = rgba_of(image->tpixels[y][x], keep_alpha);
            *to++ = pixel.r;
            *to++ = pixel.g;
            *to++ = pixel.b;
            *to++ = pixel.a;
        }
    }

    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture)) return webp;
    config.lossless = 1;
    config.exact = 1;  // keep the colours of transparent pixels, as the PNG does
    config.method = 4;
    config.quality = 75;
    picture.use_argb = 1;
    picture.width = width;
    picture.height = height;
    std::vector<unsigned char> bytes;
    picture.writer = collect;
    picture.custom_ptr = &bytes;
    const bool imported = WebPPictureImportRGBA(&picture, rgba.data(), width * 4) != 0;
    const bool encoded = imported && WebPEncode(&config, &picture) != 0;
    WebPPictureFree(&picture);
    if (encoded) webp.bytes = std::move(bytes);
    return webp;
}

}  // namespace vedad
