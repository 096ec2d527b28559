#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"
#include "base/options.hpp"

// What every fuzzer of the program shares: trapping the program's own exit, quieting
// standard error, the test font and the input as a stream.

namespace vedad_fuzz {

// Runs `body(context)`. The program ends the process itself on every fatal condition; while
// `body` runs, such an exit jumps back here instead (the fuzzers are linked with
// --wrap=exit). Returns the status the program exited with, or -1 when `body` returned.
// The frames skipped by the jump must hold nothing that needs destroying: the reader and
// option paths that exit keep only plain locals.
int run_trapping_exit(void (*body)(void* context), void* context);

// Prepares a fuzzer run: points libgd at the fuzzers' own font directory and asks libFuzzer
// to keep its own output on a private descriptor while the program's standard error goes to
// the null device (-close_fd_mask=2, unless the command line already sets a mask).
void initialize(int* argc, char*** argv);

// The fuzz input as a read-only stream; the empty input reads as the null device.
FILE* open_input(const uint8_t* data, size_t size);

// The page settings a reader fuzzer draws with. Each input picks one by its length, so that
// one input always runs the same way: the defaults, and settings at the edges of their
// ranges (fixed advance, spacings at the 32-bit limits, negative line heights, transparency,
// tab stops that are far apart, none at all, or three columns apart).
struct PageSettings {
    vedad::Options options;
    vedad::Canvas canvas;  // font prepared and cell measured; no image
    int handed_back;       // nonzero: the input's first byte is handed back to the plain reader
};
inline constexpr int PAGE_SETTINGS_COUNT = 4;
const PageSettings& page_settings(size_t input_size);

// Reads one page's input onto the prepared canvas, raising the text extent.
using Reader = void (*)(vedad::Canvas& canvas, FILE* input, const PageSettings& settings,
                        vedad::TextExtent& extent);

// What came out of a page: the cropped picture, or the status the program exited with.
struct Picture {
    int exit_status = -1;  // -1 when the page was drawn
    int width = 0;
    int height = 0;
    std::vector<int> pixels;
    // The page moved text past the kept cells into view: each way keeps its own number of
    // cells, so the pictures may differ there.
    bool unkept_text_moved_in = false;
    bool operator==(const Picture&) const = default;
};

// Draws the input as one page, as a run does: a fresh image filled and coloured, the pen on
// the first baseline, the reader, then the crop. With `draw_everything` every text is
// rendered, also where it cannot reach the image. Checks what must hold for any input (the
// extent never below 0, the image kept and never larger than the page) and ends in a trap
// when something does not.
Picture draw_page(const PageSettings& settings, bool draw_everything, const uint8_t* data, size_t size,
                  Reader reader);

// Draws the input both ways and traps unless the pictures, or the exits, are the same:
// leaving out what cannot reach the image must never change what the program makes.
void draw_page_both_ways(const uint8_t* data, size_t size, Reader reader);

}  // namespace vedad_fuzz

// The two entry points libFuzzer calls, for a fuzzer that draws each input both ways with
// `reader`. Each fuzzer is a program of its own, so each defines them once.
#define VEDAD_PAGE_FUZZER(reader)                                                  \
    extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)                   \
    {                                                                              \
        vedad_fuzz::initialize(argc, argv);                                        \
        return 0;                                                                  \
    }                                                                              \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)        \
    {                                                                              \
        vedad_fuzz::draw_page_both_ways(data, size, reader);                       \
        return 0;                                                                  \
    }
