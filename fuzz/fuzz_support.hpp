#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "canvas/canvas.hpp"
#include "cli/options.hpp"

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
// ranges (fixed advance, spacings at the 32-bit limits, negative line heights, transparency).
struct PageSettings {
    vedad::Options options;
    vedad::Canvas canvas;  // font prepared and cell measured; no image
    int handed_back;       // nonzero: the input's first byte is handed back to the plain reader
};
inline constexpr int PAGE_SETTINGS_COUNT = 4;
const PageSettings& page_settings(size_t input_size);

// Gives `canvas` a fresh image of the settings' size, fills and colours it as a page is set
// up, and puts the pen on the first baseline.
void start_page(const PageSettings& settings, vedad::Canvas& canvas);

// Crops as a run does and checks what must hold for any input: the extent never below 0,
// the image kept, never larger than the page. Ends in a trap when something does not hold.
void finish_page(const PageSettings& settings, vedad::Canvas& canvas, int32_t extent_x, int32_t extent_y);

}  // namespace vedad_fuzz
