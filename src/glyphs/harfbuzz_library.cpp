#include "glyphs/harfbuzz_library.hpp"

#include <dlfcn.h>

namespace vedad {

namespace {

template <typename Function>
bool find(void* handle, const char* name, Function& function, const char*& error)
{
    function = reinterpret_cast<Function>(dlsym(handle, name));
    if (function == nullptr) error = dlerror();
    return function != nullptr;
}

}  // namespace

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
    const bool complete = find(handle, "hb_ft_font_create_referenced", found.ft_font_create_referenced, error) &&
                          find(handle, "hb_ft_font_changed", found.ft_font_changed, error) &&
                          find(handle, "hb_font_destroy", found.font_destroy, error) &&
                          find(handle, "hb_buffer_create", found.buffer_create, error) &&
                          find(handle, "hb_buffer_destroy", found.buffer_destroy, error) &&
                          find(handle, "hb_buffer_add_utf32", found.buffer_add_utf32, error) &&
                          find(handle, "hb_buffer_set_direction", found.buffer_set_direction, error) &&
                          find(handle, "hb_buffer_guess_segment_properties", found.buffer_guess_segment_properties,
                               error) &&
                          find(handle, "hb_buffer_set_flags", found.buffer_set_flags, error) &&
                          find(handle, "hb_buffer_get_glyph_infos", found.buffer_get_glyph_infos, error) &&
                          find(handle, "hb_buffer_get_glyph_positions", found.buffer_get_glyph_positions, error) &&
                          find(handle, "hb_shape", found.shape, error);
    if (complete) functions = found;
    return complete;
}

}  // namespace vedad
