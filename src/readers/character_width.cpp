#include "readers/character_width.hpp"

#include <algorithm>
#include <clocale>
#include <cwchar>
#include <locale.h>

namespace vedad {

namespace {

constexpr char32_t DEL = 0x7f;

// Widths are the C library's, read under a UTF-8 locale of their own so that the program's
// locale (never set, so "C") does not matter.
locale_t utf8_locale()
{
    static const locale_t locale = [] {
        locale_t made = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
        return made != locale_t{} ? made : newlocale(LC_CTYPE_MASK, "en_US.UTF-8", locale_t{});
    }();
    return locale;
}

}  // namespace

int character_width(char32_t character)
{
    if (character < 0x20 || (character >= DEL && character < 0xa0)) return -1;
    if (character < DEL) return 1;
    const locale_t locale = utf8_locale();
    if (locale == locale_t{}) return 1;
    const locale_t previous = uselocale(locale);
    const int width = wcwidth(static_cast<wchar_t>(character));
    uselocale(previous);
    // Characters the C library does not know are drawn in a cell of their own.
    return width < 0 ? 1 : std::min(width, 2);
}

}  // namespace vedad
