#pragma once

#include <dlfcn.h>

namespace vedad {

// Looks up `name` in a library loaded with dlopen, as the type of `function`. False when the
// library lacks it; dlerror() then tells why.
template <typename Function>
bool find_loaded_function(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

}  // namespace vedad
