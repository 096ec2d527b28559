#include "cli/font_list.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/fail.hpp"

namespace vedad {

namespace {

// Writes the list; false when fontconfig could not be started. Everything it holds is gone
// when it returns, before the run ends.
bool write_font_list(FontListing listing)
{
    FontLookup lookup;
    const std::vector<FontFamily> families = font_lookup_families(lookup, listing);
    if (font_lookup_failed(lookup)) return false;
    for (const FontFamily& family : families) {
        std::fputs(family.name.c_str(), stdout);
        const char* separator = ": ";
        for (const std::string& style : family.styles) {
            std::fputs(separator, stdout);
            std::fputs(style.c_str(), stdout);
            separator = ", ";
        }
        std::fputc('\n', stdout);
    }
    return true;
}

}  // namespace

void list_fonts(FontListing listing)
{
    if (!write_font_list(listing)) fail("could not load fontconfig's configuration to list the fonts");
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        // A reader that has had enough, as `head` has, is no failure to report.
        if (errno == EPIPE) std::exit(1);
        fail("could not write the font list: %s", std::strerror(errno));
    }
    std::exit(0);
}

}  // namespace vedad
