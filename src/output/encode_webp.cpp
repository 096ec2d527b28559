#include "output/encode_webp.hpp"

#include <cstdint>
#include <vector>

#include <webp/encode.h>

#include "output/picture_pixels.hpp"
#include "output/webp_library.hpp"

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

EncodedPicture encode_webp(const PictureArea& area)
{
    EncodedPicture webp;
    webp.extension = ".webp";
    if (!is_drawable_area(area)) return webp;
    const gdImagePtr image = area.image;
    const int width = area.width;
    const int height = area.height;
    if (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION) return webp;
    const WebpFunctions* library = webp_functions();
    if (library == nullptr) return webp;
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
    if (!library->config_init(&config, WEBP_PRESET_DEFAULT, 75.f, WEBP_ENCODER_ABI_VERSION) ||
        !library->picture_init(&picture, WEBP_ENCODER_ABI_VERSION))
        return webp;
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
    const bool imported = library->picture_import_rgba(&picture, rgba.data(), width * 4) != 0;
    const bool encoded = imported && library->encode(&config, &picture) != 0;
    library->picture_free(&picture);
    if (encoded) webp.bytes = std::move(bytes);
    return webp;
}

}  // namespace vedad
