#include "output/encode_png.hpp"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <isa-l/igzip_lib.h>
#include <libdeflate.h>
#include <png.h>

#include "output/picture_pixels.hpp"

namespace vedad {

namespace {

// The compressors, measured on text pictures (500 small files of 4 to 12 lines, the 40-row
// plain, span and terminal pages, a 500-line log and a 2x terminal page). libdeflate's level 2
// takes about 40 % of its level 7's time for files 7 to 20 % larger, still a fifth to a half
// smaller than libgd's writer makes them (zlib's default level and filters). Four fifths of a
// small picture's rows are its background, and libdeflate's fastest levels go through a run
// of one byte no faster than through text: up to a quarter of a megabyte of rows, where most
// of a small file's time is compression, ISA-L's level 2 takes 35 to 40 % of libdeflate's
// time (37 against 90 us a small file) for files 8 to 20 % larger, still smaller than libgd's.
constexpr int COMPRESSION_LEVEL = 2;
constexpr size_t SMALL_PICTURE_BYTES = 256 * 1024;

// libgd's images are drawn at 96 dots per inch, and its PNGs say so.
constexpr png_uint_32 DOTS_PER_METRE = 3780;  // 96 per inch, rounded as libgd rounds it

// What the pixels need: whether all are grey, all opaque, and their colours while a palette
// may hold them.
struct Survey {
    bool grey = true;
    bool opaque = true;
    std::vector<Rgba> colors;  // in the order met; empty once there are too many
    bool many_colors = false;
};

// The colours met so far, up to 256, in a table of four times as many slots so that a colour
// is found in a probe or two: anti-aliased text and shadows change colour at most pixels.
class ColorSet {
public:
    // False when the colour was there already.
    bool insert(const Rgba& color)
    {
        const uint32_t key = (uint32_t{color.r} << 24) | (uint32_t{color.g} << 16) | (uint32_t{color.b} << 8) | color.a;
        size_t slot = (key * 2654435761u) >> 22;
        while (used_[slot]) {
            if (keys_[slot] == key) return false;
            slot = (slot + 1) % SLOTS;
        }
        used_[slot] = true;
        keys_[slot] = key;
        return true;
    }

private:
    static constexpr size_t SLOTS = 1024;
    std::array<uint32_t, SLOTS> keys_{};
    std::array<bool, SLOTS> used_{};
};

// Whether every pixel is grey, and whether every one is opaque where alpha is kept: a pass
// of a few vector instructions a pixel.
void survey_grey_and_opaque(const PictureArea& area, bool keep_alpha, Survey& found)
{
    uint32_t not_grey = 0;
    uint32_t alphas = 0;
    for (int y = 0; y < area.height; ++y) {
        const int* row = area.image->tpixels[y];
        for (int x = 0; x < area.width; ++x) {
            const auto value = static_cast<uint32_t>(row[x]);
            not_grey |= ((value >> 16) ^ (value >> 8)) & 0xFF;
            not_grey |= ((value >> 8) ^ value) & 0xFF;
            alphas |= value >> 24;
        }
    }
    found.grey = not_grey == 0;
    found.opaque = !keep_alpha || alphas == 0;
}

Survey survey(const PictureArea& area, bool keep_alpha)
{
    Survey found;
    survey_grey_and_opaque(area, keep_alpha, found);
    // The colours matter only while a palette may be chosen: a grey picture of more than 16
    // colours is written as grey, any other of more than 256 as red, green and blue.
    const size_t most_colors = found.grey ? 16 : 256;
    ColorSet seen;
    // The pixel values looked at last, one for each of 256 slots (libgd's pixels are never
    // negative): a value looked at once tells nothing new. Runs of one colour, and the few
    // shades of anti-aliased text, are the common case.
    std::array<int, 256> looked_at;
    looked_at.fill(-1);
    int last = -1;
    for (int y = 0; y < area.height; ++y) {
        const int* row = area.image->tpixels[y];
        for (int x = 0; x < area.width; ++x) {
            const int value = row[x];
            if (value == last) continue;
            last = value;
            int& slot = looked_at[static_cast<uint32_t>(value ^ (value >> 13)) & 255];
            if (slot == value) continue;
            slot = value;
            const Rgba pixel = rgba_of(value, keep_alpha);
            if (!seen.insert(pixel)) continue;
            if (found.colors.size() == most_colors) {
                found.many_colors = true;
                found.colors.clear();
                return found;
            }
            found.colors.push_back(pixel);
        }
    }
    return found;
}

struct Writer {
    std::vector<unsigned char> bytes;
};

void append(png_structp png, png_bytep data, size_t size)
{
    auto* writer = static_cast<Writer*>(png_get_io_ptr(png));
    writer->bytes.insert(writer->bytes.end(), data, data + size);
}

void flush(png_structp) {}

// The smallest form that holds the pixels exactly: a palette of up to 16 colours in 1, 2 or 4
// bits, grey, a palette of up to 256, or red, green and blue, each with alpha where a pixel
// is not opaque.
struct Form {
    int color_type;
    int bit_depth;
};

Form form_for(const Survey& found)
{
    const size_t colors = found.colors.size();
    if (!found.many_colors && colors <= 16) {
        return Form{PNG_COLOR_TYPE_PALETTE, colors <= 2 ? 1 : colors <= 4 ? 2 : 4};
    }
    if (found.grey) return Form{found.opaque ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_GRAY_ALPHA, 8};
    if (!found.many_colors) return Form{PNG_COLOR_TYPE_PALETTE, 8};
    return Form{found.opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, 8};
}

// One row of the image in `form`, into `out`: one loop for each form, as rows are long.
void pack_row(const int* pixels, int width, bool keep_alpha, const Form& form, const std::vector<Rgba>& palette,
              unsigned char* out, size_t size)
{
    const auto count = static_cast<size_t>(width);
    switch (form.color_type) {
    case PNG_COLOR_TYPE_PALETTE: {
        std::fill_n(out, size, 0);
        int last = -1;
        size_t last_index = 0;
        const size_t per_byte = static_cast<size_t>(8 / form.bit_depth);
        for (size_t x = 0; x < count; ++x) {
            if (pixels[x] != last) {
                last = pixels[x];
                const Rgba pixel = rgba_of(pixels[x], keep_alpha);
                last_index = static_cast<size_t>(std::find(palette.begin(), palette.end(), pixel) - palette.begin());
            }
            const size_t shift = (per_byte - 1 - x % per_byte) * static_cast<size_t>(form.bit_depth);
            out[x / per_byte] = static_cast<unsigned char>(out[x / per_byte] | (last_index << shift));
        }
        break;
    }
    case PNG_COLOR_TYPE_GRAY:
        for (size_t x = 0; x < count; ++x) out[x] = static_cast<unsigned char>(gdTrueColorGetRed(pixels[x]));
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        for (size_t x = 0; x < count; ++x) {
            const Rgba pixel = rgba_of(pixels[x], keep_alpha);
            out[2 * x] = pixel.r;
            out[2 * x + 1] = pixel.a;
        }
        break;
    case PNG_COLOR_TYPE_RGB:
        for (size_t x = 0; x < count; ++x) {
            const Rgba pixel = rgba_of(pixels[x], keep_alpha);
            out[3 * x] = pixel.r;
            out[3 * x + 1] = pixel.g;
            out[3 * x + 2] = pixel.b;
        }
        break;
    default:
        // Kept alpha (a picture with none is opaque): each pixel as one little-endian word of
        // red, green, blue and alpha, in lanes the compiler can make into vectors.
        for (size_t x = 0; x < count; ++x) {
            const auto pixel = static_cast<uint32_t>(pixels[x]);
            const uint32_t alpha = pixel >> 24;
            const uint32_t word = ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16) |
                                  ((255 - ((alpha << 1) + (alpha >> 6))) << 24);
            for (size_t i = 0; i < 4; ++i) out[4 * x + i] = static_cast<unsigned char>(word >> (8 * i));
        }
        break;
    }
}

size_t row_bytes(int width, const Form& form)
{
    const size_t channels = form.color_type == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                            : form.color_type == PNG_COLOR_TYPE_RGB     ? 3
                            : form.color_type == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                                                                           : 1;
    return (static_cast<size_t>(width) * channels * static_cast<size_t>(form.bit_depth) + 7) / 8;
}

// Encodes into `writer`; false when libpng fails. Kept apart from anything with a destructor:
// libpng reports failures by a long jump.
bool write_png(const PictureArea& area, bool keep_alpha, const Survey& found, const Form& form, Writer& writer)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<unsigned char>* row = new std::vector<unsigned char>(row_bytes(area.width, form));
    if (setjmp(png_jmpbuf(png))) {
        delete row;
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &writer, append, flush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(area.width), static_cast<png_uint_32>(area.height),
                 form.bit_depth, form.color_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Text pictures are flat runs of a few colours: filtering them costs time and adds bytes.
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_pHYs(png, info, DOTS_PER_METRE, DOTS_PER_METRE, PNG_RESOLUTION_METER);
    if (form.color_type == PNG_COLOR_TYPE_PALETTE) {
        std::array<png_color, 256> entries{};
        std::array<png_byte, 256> alphas{};
        int last_translucent = -1;
        for (size_t i = 0; i < found.colors.size(); ++i) {
            entries[i] = png_color{found.colors[i].r, found.colors[i].g, found.colors[i].b};
            alphas[i] = found.colors[i].a;
            if (alphas[i] != 255) last_translucent = static_cast<int>(i);
        }
        png_set_PLTE(png, info, entries.data(), static_cast<int>(found.colors.size()));
        if (last_translucent >= 0) png_set_tRNS(png, info, alphas.data(), last_translucent + 1, nullptr);
    }
    png_write_info(png, info);
    for (int y = 0; y < area.height; ++y) {
        pack_row(area.image->tpixels[y], area.width, keep_alpha, form, found.colors, row->data(), row->size());
        png_write_row(png, row->data());
    }
    png_write_end(png, info);
    delete row;
    png_destroy_write_struct(&png, &info);
    return true;
}

void append_u32(std::vector<unsigned char>& bytes, uint32_t value)
{
    for (const int shift : {24, 16, 8, 0}) bytes.push_back(static_cast<unsigned char>(value >> shift));
}

// A chunk: its length, type, data and the CRC of type and data.
void append_chunk(std::vector<unsigned char>& bytes, const char (&type)[5], const unsigned char* data, size_t size)
{
    append_u32(bytes, static_cast<uint32_t>(size));
    const size_t start = bytes.size();
    bytes.insert(bytes.end(), type, type + 4);
    if (size > 0) bytes.insert(bytes.end(), data, data + size);
    append_u32(bytes, libdeflate_crc32(0, bytes.data() + start, bytes.size() - start));
}

void append_chunk(std::vector<unsigned char>& bytes, const char (&type)[5], const std::vector<unsigned char>& data)
{
    append_chunk(bytes, type, data.data(), data.size());
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

// libdeflate's compressor for each thread, made when first needed and kept for the pictures
// that follow.
libdeflate_compressor* large_picture_compressor()
{
    thread_local std::unique_ptr<libdeflate_compressor, CompressorDeleter> kept;
    if (kept == nullptr) kept.reset(libdeflate_alloc_compressor(COMPRESSION_LEVEL));
    return kept.get();
}

// The zlib stream of `raw` by ISA-L, into `out`; 0 when it does not fit in `room`.
size_t compress_small_picture(const unsigned char* raw, size_t raw_size, unsigned char* out, size_t room)
{
    // Its hash tables and tokens, for each thread; the small size holds a small picture's.
    static constexpr size_t LEVEL_BUFFER_SIZE = ISAL_DEF_LVL2_SMALL;
    thread_local std::unique_ptr<uint8_t[]> level_buffer;
    if (level_buffer == nullptr) level_buffer = std::make_unique_for_overwrite<uint8_t[]>(LEVEL_BUFFER_SIZE);
    isal_zstream stream;
    isal_deflate_stateless_init(&stream);
    stream.level = COMPRESSION_LEVEL;
    stream.level_buf = level_buffer.get();
    stream.level_buf_size = LEVEL_BUFFER_SIZE;
    stream.gzip_flag = IGZIP_ZLIB;
    stream.end_of_stream = 1;
    stream.flush = NO_FLUSH;
    stream.next_in = const_cast<uint8_t*>(raw);
    stream.avail_in = static_cast<uint32_t>(raw_size);
    stream.next_out = out;
    stream.avail_out = static_cast<uint32_t>(room);
    if (isal_deflate_stateless(&stream) != COMP_OK) return 0;
    return stream.total_out;
}

// The zlib stream of the rows, into `out`; its size, or 0 when memory or the compressor fails.
size_t compress_rows(const unsigned char* raw, size_t raw_size, std::unique_ptr<unsigned char[]>& out)
{
    // A bound for either compressor: libdeflate's for any of its compressors, stored blocks at
    // worst. libdeflate's own is made only for a picture it compresses.
    const size_t bound = libdeflate_zlib_compress_bound(nullptr, raw_size) + ISAL_DEF_MAX_HDR_SIZE;
    out = std::make_unique_for_overwrite<unsigned char[]>(bound);
    if (raw_size <= SMALL_PICTURE_BYTES) {
        const size_t size = compress_small_picture(raw, raw_size, out.get(), bound);
        if (size > 0) return size;
    }
    libdeflate_compressor* deflate = large_picture_compressor();
    if (deflate == nullptr) return 0;
    return libdeflate_zlib_compress(deflate, raw, raw_size, out.get(), bound);
}

// The rows of `area` in `form`, each behind its filter byte (none), for compressing at once.
std::unique_ptr<unsigned char[]> packed_rows(const PictureArea& area, bool keep_alpha, const Survey& found,
                                             const Form& form)
{
    const size_t row_size = row_bytes(area.width, form);
    // Written whole before it is read: nothing needs clearing first.
    auto rows = std::make_unique_for_overwrite<unsigned char[]>(static_cast<size_t>(area.height) * (row_size + 1));
    for (int y = 0; y < area.height; ++y) {
        unsigned char* row = rows.get() + static_cast<size_t>(y) * (row_size + 1);
        row[0] = PNG_FILTER_VALUE_NONE;
        pack_row(area.image->tpixels[y], area.width, keep_alpha, form, found.colors, row + 1, row_size);
    }
    return rows;
}

// The rows of a picture that is all grey (and opaque, where alpha is kept) packed as 8-bit
// grey while that is found out: most pictures of text are, and one pass over their pixels
// then does what a survey and packing do in two. Null at the first row with another pixel.
std::unique_ptr<unsigned char[]> grey_rows(const PictureArea& area, bool keep_alpha)
{
    const auto width = static_cast<size_t>(area.width);
    auto rows = std::make_unique_for_overwrite<unsigned char[]>(static_cast<size_t>(area.height) * (width + 1));
    // A pixel XORed with itself moved a byte down: its blue and green bytes are 0 only when
    // blue, green and red are equal, and its top byte is its alpha.
    const uint32_t mask = keep_alpha ? 0xFF00FFFFu : 0x0000FFFFu;
    for (int y = 0; y < area.height; ++y) {
        unsigned char* row = rows.get() + static_cast<size_t>(y) * (width + 1);
        row[0] = PNG_FILTER_VALUE_NONE;
        const int* pixels = area.image->tpixels[y];
        uint32_t other = 0;  // bits where a pixel is not grey, or not opaque
        size_t x = 0;
#if defined(__SSE2__)
        const __m128i lanes_mask = _mm_set1_epi32(static_cast<int>(mask));
        const __m128i low_byte = _mm_set1_epi32(0xFF);
        __m128i lanes_other = _mm_setzero_si128();
        for (; x + 16 <= width; x += 16) {
            __m128i v[4];
            for (int i = 0; i < 4; ++i) {
                v[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + x + 4 * static_cast<size_t>(i)));
                lanes_other = _mm_or_si128(lanes_other, _mm_and_si128(_mm_xor_si128(v[i], _mm_srli_epi32(v[i], 8)), lanes_mask));
                v[i] = _mm_and_si128(v[i], low_byte);
            }
            const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(v[0], v[1]), _mm_packs_epi32(v[2], v[3]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + 1 + x), bytes);
        }
        other = _mm_movemask_epi8(_mm_cmpeq_epi8(lanes_other, _mm_setzero_si128())) == 0xFFFF ? 0 : 1;
#endif
        for (; x < width; ++x) {
            const auto value = static_cast<uint32_t>(pixels[x]);
            other |= (value ^ (value >> 8)) & mask;
            row[1 + x] = static_cast<unsigned char>(value);
        }
        if (other != 0) return nullptr;
    }
    return rows;
}

// Whether the grey rows hold more than 16 levels, too many for a palette; a picture of
// anti-aliased text shows that within its first row of text.
bool more_than_16_greys(const unsigned char* rows, const PictureArea& area)
{
    std::array<bool, 256> seen{};
    int levels = 0;
    const auto width = static_cast<size_t>(area.width);
    const auto see = [&](unsigned char level) {
        if (seen[level]) return false;
        seen[level] = true;
        return ++levels > 16;
    };
    // Eight bytes of the background, or of any one level, at a time.
    constexpr uint64_t EACH_BYTE = 0x0101010101010101u;
    uint64_t run = 0;
    for (int y = 0; y < area.height; ++y) {
        const unsigned char* row = rows + static_cast<size_t>(y) * (width + 1) + 1;
        size_t x = 0;
        for (; x + 8 <= width; x += 8) {
            uint64_t word;
            std::memcpy(&word, row + x, sizeof word);
            if (word == run) continue;
            for (size_t i = 0; i < 8; ++i) {
                if (see(row[x + i])) return true;
            }
            run = EACH_BYTE * row[x + 7];
        }
        for (; x < width; ++x) {
            if (see(row[x])) return true;
        }
    }
    return false;
}

// The whole PNG at once from rows packed in `form`, compressed in one call. False when it
// does not fit in memory or the compressor fails.
bool write_png_at_once(const PictureArea& area, const Survey& found, const Form& form,
                       std::unique_ptr<unsigned char[]> rows, Writer& writer)
{
    const size_t raw_size = static_cast<size_t>(area.height) * (row_bytes(area.width, form) + 1);
    std::unique_ptr<unsigned char[]> compressed;
    const size_t compressed_size = compress_rows(rows.get(), raw_size, compressed);
    if (compressed_size == 0) return false;
    rows.reset();

    std::vector<unsigned char>& bytes = writer.bytes;
    static constexpr unsigned char SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    bytes.insert(bytes.end(), SIGNATURE, SIGNATURE + 8);
    std::vector<unsigned char> header;
    append_u32(header, static_cast<uint32_t>(area.width));
    append_u32(header, static_cast<uint32_t>(area.height));
    header.insert(header.end(), {static_cast<unsigned char>(form.bit_depth), static_cast<unsigned char>(form.color_type),
                                 0, 0, 0});
    append_chunk(bytes, "IHDR", header);
    if (form.color_type == PNG_COLOR_TYPE_PALETTE) {
        std::vector<unsigned char> entries;
        std::vector<unsigned char> alphas;
        size_t translucent = 0;  // the entries up to the last one not opaque
        for (size_t i = 0; i < found.colors.size(); ++i) {
            const Rgba& color = found.colors[i];
            entries.insert(entries.end(), {color.r, color.g, color.b});
            alphas.push_back(color.a);
            if (color.a != 255) translucent = i + 1;
        }
        append_chunk(bytes, "PLTE", entries);
        if (translucent > 0) append_chunk(bytes, "tRNS", alphas.data(), translucent);
    }
    std::vector<unsigned char> density;
    append_u32(density, DOTS_PER_METRE);
    append_u32(density, DOTS_PER_METRE);
    density.push_back(PNG_RESOLUTION_METER);
    append_chunk(bytes, "pHYs", density);
    append_chunk(bytes, "IDAT", compressed.get(), compressed_size);
    append_chunk(bytes, "IEND", nullptr, 0);
    return true;
}

}  // namespace

EncodedPicture encode_png(gdImagePtr image)
{
    return encode_png(whole_image(image));
}

EncodedPicture encode_png(const PictureArea& area, size_t most_at_once)
{
    EncodedPicture png;
    if (!is_drawable_area(area)) return png;
    const bool keep_alpha = area.image->saveAlphaFlag != 0;
    Writer writer;
    const size_t grey_raw = static_cast<size_t>(area.height) * (static_cast<size_t>(area.width) + 1);
    if (grey_raw <= most_at_once) {
        std::unique_ptr<unsigned char[]> rows = grey_rows(area, keep_alpha);
        if (rows != nullptr && more_than_16_greys(rows.get(), area)) {
            const Survey grey{true, true, {}, true};
            if (write_png_at_once(area, grey, form_for(grey), std::move(rows), writer)) png.bytes = std::move(writer.bytes);
            return png;
        }
    }
    const Survey found = survey(area, keep_alpha);
    const Form form = form_for(found);
    const size_t raw = static_cast<size_t>(area.height) * (row_bytes(area.width, form) + 1);
    const bool written =
        raw <= most_at_once
            ? write_png_at_once(area, found, form, packed_rows(area, keep_alpha, found, form), writer)
            : write_png(area, keep_alpha, found, form, writer);
    if (written) png.bytes = std::move(writer.bytes);
    return png;
}

EncodedPicture encode_png_with_libgd(gdImagePtr image)
{
    int size = 0;
    EncodedPicture png;
    void* data = gdImagePngPtr(image, &size);
    if (data != nullptr && size > 0) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        png.bytes.assign(bytes, bytes + size);
    }
    gdFree(data);
    return png;
}

}  // namespace vedad
