// Reads the input as a theme file of whichever form its first characters show: a theme is
// read whole or refused with a problem on a line the file has.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "themes/theme_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vedad::ThemeReading reading = vedad::read_theme_text(text);
    // XML counts a carriage return alone as a line end too.
    const auto ends = std::count(text.begin(), text.end(), '\n') + std::count(text.begin(), text.end(), '\r');
    const auto lines = static_cast<int64_t>(ends) + 1;
    if (reading.line < 0 || reading.line > lines) std::abort();
    if (!reading.problem.empty()) return 0;
    // The same text reads as the same theme: nothing of it comes from memory left unset.
    if (!(vedad::read_theme_text(text).theme == reading.theme)) std::abort();
    return 0;
}
