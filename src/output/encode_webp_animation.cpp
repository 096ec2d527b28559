#include "output/encode_webp_animation.hpp"

#include <algorithm>

#include "output/picture_pixels.hpp"

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
    if (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION || !WebPAnimEncoderOptionsInit(&options) ||
        !WebPConfigInit(&webp.config) || !WebPPictureInit(&webp.picture)) {
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
    webp.encoder = WebPAnimEncoderNew(width, height, &options);
    if (webp.encoder == nullptr || !WebPPictureAlloc(&webp.picture)) webp.failed = true;
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
    if (!WebPAnimEncoderAdd(webp.encoder, &webp.picture, timestamp(start_ms), &webp.config)) webp.failed = true;
}

EncodedPicture webp_animation_finish(WebpAnimation& webp, int64_t end_ms)
{
    EncodedPicture picture;
    picture.extension = ".webp";
    WebPData data;
    WebPDataInit(&data);
    if (!webp.failed && WebPAnimEncoderAdd(webp.encoder, nullptr, timestamp(end_ms), nullptr) &&
        WebPAnimEncoderAssemble(webp.encoder, &data)) {
        picture.bytes.assign(data.bytes, data.bytes + data.size);
    }
    WebPDataClear(&data);
    WebPPictureFree(&webp.picture);
    if (webp.encoder != nullptr) WebPAnimEncoderDelete(webp.encoder);
    webp.encoder = nullptr;
    return picture;
}

}  // namespace vedad
