#include "glyphs/harfbuzz_library.hpp"

#include <dlfcn.h>

#include "base/loaded_function.hpp"

namespace vedad {

bool harfbuzz_load(HarfBuzz& functions, const char* library, const char*& error)
{
    functions = HarfBuzz{};
    // Never closed: the faces' HarfBuzz fonts live until the run ends.
    void* handle = dlopen(library, RTLD_LAZY | RTLD_LOCAL);
    if (handle == nullptr) {
        error = dlerror();
        return false;
    }
    HarfBuzz found;
    const auto find = [handle](const char* name, auto& function) { return find_loaded_function(handle, name, function); };
    const bool complete = find("hb_ft_font_create_referenced", found.ft_font_create_referenced) &&
                          find("hb_ft_font_changed", found.ft_font_changed) &&
                          find("hb_font_destroy", found.font_destroy) &&
                          find("hb_buffer_create", found.buffer_create) &&
                          find("hb_buffer_destroy", found.buffer_destroy) &&
                          find("hb_buffer_add_utf32", found.buffer_add_utf32) &&
                          find("hb_buffer_set_direction", found.buffer_set_direction) &&
                          find("hb_buffer_guess_segment_properties", found.buffer_guess_segment_properties) &&
                          find("hb_buffer_set_flags", found.buffer_set_flags) &&
                          find("hb_buffer_get_glyph_infos", found.buffer_get_glyph_infos) &&
                          find("hb_buffer_get_glyph_positions", found.buffer_get_glyph_positions) &&
                          find("hb_shape", found.shape);
    if (!complete) {
        error = dlerror();
        return false;
    }
    functions = found;
    return true;
}

}  // namespace vedad
