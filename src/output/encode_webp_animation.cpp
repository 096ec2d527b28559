#include "output/encode_webp_animation.hpp"

#include <algorithm>

#include "output/picture_pixels.hpp"
#include "output/webp_library.hpp"

namespace vedad {

namespace {

int timestamp(int64_t ms)
{
    return static_cast<int>(std::clamp<int64_t>(ms, 0, INT32_MAX));
}

}  // namespace

void webp_animation_begin(WebpAnimation& webp, int32_t width, int32_t height, int32_t plays)
{
    WebPAnimEncoderOptions options;
    webp.library = webp_functions();
    const WebpFunctions* library = webp.library;
    if (library == nullptr || width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION ||
        !library->animation_options_init(&options, WEBP_MUX_ABI_VERSION) ||
        !library->config_init(&webp.config, WEBP_PRESET_DEFAULT, 75.f, WEBP_ENCODER_ABI_VERSION) ||
        !library->picture_init(&webp.picture, WEBP_ENCODER_ABI_VERSION)) {
        webp.failed = true;
        return;
    }
    options.anim_params.loop_count = plays;
    options.allow_mixed = 0;
    webp.config.lossless = 1;
    webp.config.exact = 1;  // keep the colours of transparent pixels, as the still WebP does
    // Frames of a terminal differ in a few cells: the quickest effort packs them well.
    webp.config.method = 0;
    webp.config.quality = 25;
    webp.picture.use_argb = 1;
    webp.picture.width = width;
    webp.picture.height = height;
    webp.encoder = library->animation_new(width, height, &options, WEBP_MUX_ABI_VERSION);
    if (webp.encoder == nullptr || !library->picture_alloc(&webp.picture)) webp.failed = true;
}

void webp_animation_add_frame(WebpAnimation& webp, gdImagePtr image, int32_t top, int32_t bottom, int64_t start_ms)
{
    if (webp.failed) return;
    const bool keep_alpha = image->saveAlphaFlag != 0;
    if (!webp.any_frame) {
        top = 0;
        bottom = webp.picture.height - 1;
    }
    webp.any_frame = true;
    for (int y = std::max(top, 0); y <= std::min(bottom, webp.picture.height - 1); ++y) {
        uint32_t* out = webp.picture.argb + static_cast<size_t>(y) * static_cast<size_t>(webp.picture.argb_stride);
        const int* in = image->tpixels[y];
        for (int x = 0; x < webp.picture.width; ++x) {
            const Rgba pixel = rgba_of(in[x], keep_alpha);
            out[x] = uint32_t{pixel.a} << 24 | uint32_t{pixel.r} << 16 | uint32_t{pixel.g} << 8 | pixel.b;
        }
    }
    if (!webp.library->animation_add(webp.encoder, &webp.picture, timestamp(start_ms), &webp.config)) webp.failed = true;
}

EncodedPicture webp_animation_finish(WebpAnimation& webp, int64_t end_ms)
{
    EncodedPicture picture;
    picture.extension = ".webp";
    const WebpFunctions* library = webp.library;
    if (library == nullptr) return picture;
    WebPData data;
    WebPDataInit(&data);
    if (!webp.failed && library->animation_add(webp.encoder, nullptr, timestamp(end_ms), nullptr) &&
        library->animation_assemble(webp.encoder, &data)) {
        picture.bytes.assign(data.bytes, data.bytes + data.size);
    }
    library->free(const_cast<uint8_t*>(data.bytes));
    library->picture_free(&webp.picture);
    if (webp.encoder != nullptr) library->animation_delete(webp.encoder);
    webp.encoder = nullptr;
    return picture;
}

}  // namespace vedad
