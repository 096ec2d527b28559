#include "support/animation_frames.hpp"

#include <cstring>
#include <string>

#include <gif_lib.h>
#include <webp/demux.h>

namespace vedad_test {

namespace {

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

Image blank(int width, int height)
{
    Image image(gdImageCreateTrueColor(width, height));
    return image;
}

Image copy_of(const Image& image)
{
    Image copy = blank(gdImageSX(image.get()), gdImageSY(image.get()));
    for (int y = 0; y < gdImageSY(image.get()); ++y)
        std::memcpy(copy->tpixels[y], image->tpixels[y], sizeof(int) * static_cast<size_t>(gdImageSX(image.get())));
    return copy;
}

}  // namespace

Animation read_gif(const std::filesystem::path& path)
{
    Animation animation;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpenFileName(path.c_str(), &error));
    if (!gif || DGifSlurp(gif.get()) != GIF_OK) return animation;
    Image canvas = blank(gif->SWidth, gif->SHeight);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& saved = gif->SavedImages[i];
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif.get(), i, &control);
        const ColorMapObject* map = saved.ImageDesc.ColorMap != nullptr ? saved.ImageDesc.ColorMap : gif->SColorMap;
        const GifImageDesc& desc = saved.ImageDesc;
        for (int y = 0; y < desc.Height; ++y) {
            for (int x = 0; x < desc.Width; ++x) {
                const int index = saved.RasterBits[y * desc.Width + x];
                if (index == control.TransparentColor || map == nullptr || index >= map->ColorCount) continue;
                const GifColorType color = map->Colors[index];
                canvas->tpixels[desc.Top + y][desc.Left + x] = gdTrueColor(color.Red, color.Green, color.Blue);
            }
        }
        animation.frames.push_back(Frame{copy_of(canvas), control.DelayTime});
    }
    for (int i = 0; i < gif->ImageCount && animation.loops < 0; ++i) {
        const SavedImage& saved = gif->SavedImages[i];
        for (int e = 0; e + 1 < saved.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = saved.ExtensionBlocks[e];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && saved.ExtensionBlocks[e + 1].ByteCount >= 3) {
                const GifByteType* loop = saved.ExtensionBlocks[e + 1].Bytes;
                animation.loops = loop[1] | loop[2] << 8;
            }
        }
    }
    return animation;
}

Animation read_animated_webp(const std::filesystem::path& path)
{
    Animation animation;
    const std::string bytes = read_file(path);
    WebPData data{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return animation;
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (decoder == nullptr) return animation;
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    animation.loops = static_cast<int>(info.loop_count);
    int before = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        uint8_t* rgba = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder, &rgba, &timestamp)) break;
        Image frame = blank(static_cast<int>(info.canvas_width), static_cast<int>(info.canvas_height));
        for (uint32_t y = 0; y < info.canvas_height; ++y) {
            for (uint32_t x = 0; x < info.canvas_width; ++x) {
                const uint8_t* p = rgba + 4 * (y * info.canvas_width + x);
                frame->tpixels[y][x] = gdTrueColor(p[0], p[1], p[2]);
            }
        }
        // The decoder tells when each frame ends.
        animation.frames.push_back(Frame{std::move(frame), timestamp - before});
        before = timestamp;
    }
    WebPAnimDecoderDelete(decoder);
    return animation;
}

bool same_pixels(const Image& a, const Image& b)
{
    if (!a || !b || gdImageSX(a.get()) != gdImageSX(b.get()) || gdImageSY(a.get()) != gdImageSY(b.get())) return false;
    for (int y = 0; y < gdImageSY(a.get()); ++y) {
        for (int x = 0; x < gdImageSX(a.get()); ++x) {
            if ((a->tpixels[y][x] & 0xffffff) != (b->tpixels[y][x] & 0xffffff)) return false;
        }
    }
    return true;
}

}  // namespace vedad_test
