#pragma once

#include <hb-ft.h>
#include <hb.h>

namespace vedad {

// HarfBuzz is loaded the first time a cluster is shaped rather than with the program: with the
// libraries it brings along it would cost every run about a million instructions at start-up,
// and most pages never shape anything. Its headers give the types; these are the functions
// called, looked up by name in the loaded library.
struct HarfBuzz {
    decltype(&hb_ft_font_create_referenced) ft_font_create_referenced = nullptr;
    decltype(&hb_ft_font_changed) ft_font_changed = nullptr;
    decltype(&hb_font_destroy) font_destroy = nullptr;
    decltype(&hb_buffer_create) buffer_create = nullptr;
    decltype(&hb_buffer_destroy) buffer_destroy = nullptr;
    decltype(&hb_buffer_add_utf32) buffer_add_utf32 = nullptr;
    decltype(&hb_buffer_set_direction) buffer_set_direction = nullptr;
    decltype(&hb_buffer_guess_segment_properties) buffer_guess_segment_properties = nullptr;
    decltype(&hb_buffer_set_flags) buffer_set_flags = nullptr;
    decltype(&hb_buffer_get_glyph_infos) buffer_get_glyph_infos = nullptr;
    decltype(&hb_buffer_get_glyph_positions) buffer_get_glyph_positions = nullptr;
    decltype(&hb_shape) shape = nullptr;
};

// The shared library's name, as the package that provides it installs it.
inline constexpr char HARFBUZZ_LIBRARY[] = "libharfbuzz.so.0";

// Loads `library` and finds every function of `functions` in it; the library stays loaded for
// the rest of the run. False, with what went wrong in `error`, when it cannot be loaded or
// lacks a function.
bool harfbuzz_load(HarfBuzz& functions, const char* library, const char*& error);

}  // namespace vedad
