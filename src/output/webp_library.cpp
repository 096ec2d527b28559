#include "output/webp_library.hpp"

#include <dlfcn.h>

#include <string>

#include "base/loaded_function.hpp"

namespace vedad {

namespace {

// Why the libraries could not be loaded; set once, when they are first asked for.
std::string& load_failure()
{
    static std::string failure;
    return failure;
}

}  // namespace

bool webp_load(WebpFunctions& functions, const char* webp_library, const char* mux_library, std::string& error)
{
    functions = WebpFunctions{};
    // Never closed: the run may write another WebP.
    void* webp = dlopen(webp_library, RTLD_LAZY | RTLD_LOCAL);
    void* mux = webp == nullptr ? nullptr : dlopen(mux_library, RTLD_LAZY | RTLD_LOCAL);
    if (mux == nullptr) {
        const char* reason = dlerror();
        error = reason == nullptr ? "not found" : reason;
        return false;
    }
    WebpFunctions found;
    const auto in_webp = [webp](const char* name, auto& function) { return find_loaded_function(webp, name, function); };
    const auto in_mux = [mux](const char* name, auto& function) { return find_loaded_function(mux, name, function); };
    const bool complete = in_webp("WebPConfigInitInternal", found.config_init) &&
                          in_webp("WebPPictureInitInternal", found.picture_init) &&
                          in_webp("WebPPictureAlloc", found.picture_alloc) &&
                          in_webp("WebPPictureImportRGBA", found.picture_import_rgba) &&
                          in_webp("WebPPictureFree", found.picture_free) &&
                          in_webp("WebPEncode", found.encode) && in_webp("WebPFree", found.free) &&
                          in_mux("WebPAnimEncoderOptionsInitInternal", found.animation_options_init) &&
                          in_mux("WebPAnimEncoderNewInternal", found.animation_new) &&
                          in_mux("WebPAnimEncoderAdd", found.animation_add) &&
                          in_mux("WebPAnimEncoderAssemble", found.animation_assemble) &&
                          in_mux("WebPAnimEncoderDelete", found.animation_delete);
    if (!complete) {
        const char* reason = dlerror();
        error = reason == nullptr ? "a function is missing" : reason;
        return false;
    }
    functions = found;
    return true;
}

const WebpFunctions* webp_functions()
{
    static const WebpFunctions* const loaded = [] {
        static WebpFunctions functions;
        std::string error;
        if (webp_load(functions, WEBP_LIBRARY, WEBPMUX_LIBRARY, error)) return static_cast<const WebpFunctions*>(&functions);
        load_failure() = "libwebp could not be loaded (" + error + ")";
        return static_cast<const WebpFunctions*>(nullptr);
    }();
    return loaded;
}

const char* webp_failure()
{
    return webp_functions() == nullptr ? load_failure().c_str() : "the WebP could not be encoded";
}

}  // namespace vedad
