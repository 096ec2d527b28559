#include "output/encode_gif.hpp"

#include <algorithm>
#include <memory>

#include "base/owned_image.hpp"

namespace vedad {

namespace {

// The most colours a table holds, and the index that stands for "as before".
constexpr int TABLE_SIZE = 256;
constexpr int UNCHANGED = 0;
// The longest a frame can be shown, in hundredths of a second.
constexpr int64_t LONGEST_DELAY = 65535;

int opaque(int pixel)
{
    return pixel & 0xffffff;
}

struct Box {
    int32_t left, top, right, bottom;
    int32_t width() const { return right - left + 1; }
    int32_t height() const { return bottom - top + 1; }
};

// The smallest box around the pixels of `box` that differ from what is shown; false when none.
bool changed_box(const GifAnimation& gif, gdImagePtr image, Box& box)
{
    Box found{box.right + 1, box.bottom + 1, box.left - 1, box.top - 1};
    for (int32_t y = box.top; y <= box.bottom; ++y) {
        const int* now = image->tpixels[y];
        const int* before = gif.shown->tpixels[y];
        int32_t x = box.left;
        while (x <= box.right && opaque(now[x]) == opaque(before[x])) ++x;
        if (x > box.right) continue;
        int32_t last = box.right;
        while (opaque(now[last]) == opaque(before[last])) --last;
        found.left = std::min(found.left, x);
        found.right = std::max(found.right, last);
        found.top = std::min(found.top, y);
        found.bottom = y;
    }
    if (found.left > found.right) return false;
    box = found;
    return true;
}

bool is_changed(const GifAnimation& gif, gdImagePtr image, int32_t x, int32_t y)
{
    return gif.shown == nullptr || opaque(image->tpixels[y][x]) != opaque(gif.shown->tpixels[y][x]);
}

void set_table(gdImagePtr frame, const std::vector<int>& colors)
{
    for (size_t i = 0; i < colors.size(); ++i) {
        frame->red[i] = gdTrueColorGetRed(colors[i]);
        frame->green[i] = gdTrueColorGetGreen(colors[i]);
        frame->blue[i] = gdTrueColorGetBlue(colors[i]);
        frame->alpha[i] = gdAlphaOpaque;
        frame->open[i] = 0;
    }
    frame->colorsTotal = static_cast<int>(colors.size());
}

// The frame's pixels as indices into a table that holds their colours, the unchanged ones
// see-through; `local` when the table is the frame's own.
OwnedImage indexed_frame(GifAnimation& gif, gdImagePtr image, const Box& box, bool& local)
{
    // The new colours the frame brings, as long as they fit in the shared table.
    std::vector<int> added;
    std::unordered_map<int, int> own;
    std::vector<int> own_colors{0};
    local = false;
    for (int32_t y = box.top; y <= box.bottom && own_colors.size() <= TABLE_SIZE; ++y) {
        for (int32_t x = box.left; x <= box.right; ++x) {
            if (!is_changed(gif, image, x, y)) continue;
            const int color = opaque(image->tpixels[y][x]);
            if (own.emplace(color, static_cast<int>(own_colors.size())).second) own_colors.push_back(color);
            const bool known = gif.index_of.contains(color) || std::find(added.begin(), added.end(), color) != added.end();
            if (!local && !known) {
                added.push_back(color);
                local = gif.colors.size() + added.size() > TABLE_SIZE;
            }
        }
    }
    if (own_colors.size() > TABLE_SIZE) local = true;
    if (!local) {
        for (const int color : added) {
            gif.index_of.emplace(color, static_cast<int>(gif.colors.size()));
            gif.colors.push_back(color);
        }
    }

    if (local && own_colors.size() > TABLE_SIZE) {
        // Too many colours for any table: libgd's nearest 255, and one more for "unchanged".
        OwnedImage part(gdImageCreateTrueColor(box.width(), box.height()));
        if (!part) return nullptr;
        for (int32_t y = 0; y < box.height(); ++y)
            std::copy_n(image->tpixels[box.top + y] + box.left, box.width(), part->tpixels[y]);
        OwnedImage frame(gdImageCreatePaletteFromTrueColor(part.get(), 0, TABLE_SIZE - 1));
        if (!frame || frame->colorsTotal >= TABLE_SIZE) return nullptr;
        const int unchanged = frame->colorsTotal++;
        frame->red[unchanged] = frame->green[unchanged] = frame->blue[unchanged] = 0;
        frame->open[unchanged] = 0;
        for (int32_t y = 0; y < box.height(); ++y) {
            for (int32_t x = 0; x < box.width(); ++x) {
                if (!is_changed(gif, image, box.left + x, box.top + y))
                    frame->pixels[y][x] = static_cast<unsigned char>(unchanged);
            }
        }
        if (gif.shown != nullptr) gdImageColorTransparent(frame.get(), unchanged);
        return frame;
    }

    OwnedImage frame(gdImageCreate(box.width(), box.height()));
    if (!frame) return nullptr;
    set_table(frame.get(), local ? own_colors : gif.colors);
    for (int32_t y = 0; y < box.height(); ++y) {
        unsigned char* out = frame->pixels[y];
        const int* in = image->tpixels[box.top + y] + box.left;
        int last_color = -1;
        int last_index = UNCHANGED;
        for (int32_t x = 0; x < box.width(); ++x) {
            if (!is_changed(gif, image, box.left + x, box.top + y)) {
                out[x] = UNCHANGED;
                continue;
            }
            const int color = opaque(in[x]);
            if (color != last_color) {
                last_color = color;
                last_index = local ? own.at(color) : gif.index_of.at(color);
            }
            out[x] = static_cast<unsigned char>(last_index);
        }
    }
    if (gif.shown != nullptr) gdImageColorTransparent(frame.get(), UNCHANGED);
    return frame;
}

void add_bytes(GifAnimation& gif, void* bytes, int size)
{
    if (bytes == nullptr || size <= 0) {
        gif.failed = true;
    } else {
        const auto* from = static_cast<const unsigned char*>(bytes);
        gif.frames.insert(gif.frames.end(), from, from + size);
    }
    gdFree(bytes);
}

// A frame that changes nothing, which only lets time pass.
void add_pause(GifAnimation& gif, int delay)
{
    OwnedImage frame(gdImageCreate(1, 1));
    if (!frame) {
        gif.failed = true;
        return;
    }
    set_table(frame.get(), {0, 0});
    frame->pixels[0][0] = UNCHANGED;
    gdImageColorTransparent(frame.get(), UNCHANGED);
    int size = 0;
    void* bytes = gdImageGifAnimAddPtr(frame.get(), &size, 0, 0, 0, delay, gdDisposalNone, nullptr);
    add_bytes(gif, bytes, size);
}

}  // namespace

void gif_begin(GifAnimation& gif, int32_t width, int32_t height, int32_t plays)
{
    gif.width = width;
    gif.height = height;
    gif.loops = plays == 0 ? 0 : plays == 1 ? -1 : plays - 1;
    gif.colors = {0};
}

void gif_add_frame(GifAnimation& gif, gdImagePtr image, int32_t left, int32_t top, int32_t right, int32_t bottom,
                   int64_t delay)
{
    if (gif.failed) return;
    delay = std::max<int64_t>(delay, 0);
    Box box{std::max(left, 0), std::max(top, 0), std::min(right, gif.width - 1), std::min(bottom, gif.height - 1)};
    const bool first = gif.shown == nullptr;
    if (first) box = Box{0, 0, gif.width - 1, gif.height - 1};
    if (box.left > box.right || box.top > box.bottom || (!first && !changed_box(gif, image, box))) {
        add_pause(gif, static_cast<int>(std::min(delay, LONGEST_DELAY)));
    } else {
        bool local = false;
        OwnedImage frame = indexed_frame(gif, image, box, local);
        if (!frame) {
            gif.failed = true;
            return;
        }
        int size = 0;
        const int shown_for = static_cast<int>(std::min(delay, LONGEST_DELAY));
        void* bytes = gdImageGifAnimAddPtr(frame.get(), &size, local ? 1 : 0, box.left, box.top, shown_for,
                                           gdDisposalNone, nullptr);
        add_bytes(gif, bytes, size);
        if (first) {
            gif.shown = gdImageCreateTrueColor(gif.width, gif.height);
            if (gif.shown == nullptr) {
                gif.failed = true;
                return;
            }
        }
        for (int32_t y = box.top; y <= box.bottom; ++y)
            std::copy_n(image->tpixels[y] + box.left, box.width(), gif.shown->tpixels[y] + box.left);
    }
    // A frame shown longer than GIF can tell is followed by pauses.
    for (delay -= LONGEST_DELAY; delay > 0 && !gif.failed; delay -= LONGEST_DELAY)
        add_pause(gif, static_cast<int>(std::min(delay, LONGEST_DELAY)));
}

EncodedPicture gif_finish(GifAnimation& gif)
{
    EncodedPicture picture;
    picture.extension = ".gif";
    if (gif.shown != nullptr) gdImageDestroy(gif.shown);
    gif.shown = nullptr;
    if (gif.failed || gif.frames.empty()) return picture;
    OwnedImage head(gdImageCreate(gif.width, gif.height));
    if (!head) return picture;
    std::vector<int> table = gif.colors;
    if (table.size() < 2) table.push_back(0);
    set_table(head.get(), table);
    int size = 0;
    void* start = gdImageGifAnimBeginPtr(head.get(), &size, 1, gif.loops);
    if (start == nullptr || size <= 0) {
        gdFree(start);
        return picture;
    }
    const auto* from = static_cast<const unsigned char*>(start);
    picture.bytes.assign(from, from + size);
    gdFree(start);
    picture.bytes.insert(picture.bytes.end(), gif.frames.begin(), gif.frames.end());
    void* end = gdImageGifAnimEndPtr(&size);
    if (end == nullptr || size <= 0) {
        picture.bytes.clear();
    } else {
        const auto* tail = static_cast<const unsigned char*>(end);
        picture.bytes.insert(picture.bytes.end(), tail, tail + size);
    }
    gdFree(end);
    gif.frames = {};
    return picture;
}

EncodedPicture encode_gif(const PictureArea& area)
{
    if (!is_drawable_area(area)) return EncodedPicture{{}, ".gif"};
    GifAnimation gif;
    gif_begin(gif, area.width, area.height, 1);
    gif_add_frame(gif, area.image, 0, 0, area.width - 1, area.height - 1, 0);
    return gif_finish(gif);
}

}  // namespace vedad
