#pragma once

#include <string>

#include <webp/encode.h>
#include <webp/mux.h>

namespace vedad {

// libwebp and its animation encoder are loaded the first time a WebP is written rather than
// with the program: loading them costs every run about 0.4 ms, and most runs write PNG. Their
// headers give the types; these are the functions called, looked up by name. The headers'
// inline set-up calls are made through the functions they wrap, with the headers' versions.
struct WebpFunctions {
    decltype(&WebPConfigInitInternal) config_init = nullptr;
    decltype(&WebPPictureInitInternal) picture_init = nullptr;
    decltype(&WebPPictureAlloc) picture_alloc = nullptr;
    decltype(&WebPPictureImportRGBA) picture_import_rgba = nullptr;
    decltype(&WebPPictureFree) picture_free = nullptr;
    decltype(&WebPEncode) encode = nullptr;
    decltype(&WebPFree) free = nullptr;
    decltype(&WebPAnimEncoderOptionsInitInternal) animation_options_init = nullptr;
    decltype(&WebPAnimEncoderNewInternal) animation_new = nullptr;
    decltype(&WebPAnimEncoderAdd) animation_add = nullptr;
    decltype(&WebPAnimEncoderAssemble) animation_assemble = nullptr;
    decltype(&WebPAnimEncoderDelete) animation_delete = nullptr;
};

// The shared libraries' names, as the packages that provide them install them.
inline constexpr char WEBP_LIBRARY[] = "libwebp.so.7";
inline constexpr char WEBPMUX_LIBRARY[] = "libwebpmux.so.3";

// Loads the two libraries and finds every function in them; they stay loaded for the rest of
// the run. False, with what went wrong in `error`, when one cannot be loaded or lacks a
// function.
bool webp_load(WebpFunctions& functions, const char* webp_library, const char* mux_library, std::string& error);

// The functions of WEBP_LIBRARY and WEBPMUX_LIBRARY, loaded on the first call (from any thread) and kept for the run; null when
// a library cannot be loaded or lacks one of them.
const WebpFunctions* webp_functions();

// Why a WebP could not be written: that libwebp could not be loaded and why, or else that
// the WebP could not be encoded.
const char* webp_failure();

}  // namespace vedad
