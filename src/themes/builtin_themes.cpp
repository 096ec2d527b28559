#include "themes/builtin_themes.hpp"

#include <array>
#include <cstdint>

namespace vedad {

namespace {

// A theme from its published colours, written 0xRRGGBB: the 16 basic ones, then the text and
// the background colour.
constexpr Theme theme(const std::array<uint32_t, 16>& basic, uint32_t foreground, uint32_t background)
{
    Theme theme;
    for (size_t i = 0; i < basic.size(); ++i) theme.basic[i] = rgb_of_hex(basic[i]);
    theme.foreground = rgb_of_hex(foreground);
    theme.background = rgb_of_hex(background);
    return theme;
}

// Solarized's sixteen, the same for its dark and its light page.
constexpr std::array<uint32_t, 16> SOLARIZED = {
    0x073642, 0xdc322f, 0x859900, 0xb58900, 0x268bd2, 0xd33682, 0x2aa198, 0xeee8d5,
    0x002b36, 0xcb4b16, 0x586e75, 0x657b83, 0x839496, 0x6c71c4, 0x93a1a1, 0xfdf6e3,
};

constexpr std::array BUILTIN_THEMES = {
    NamedTheme{"xterm", Theme{}},
    // The Linux console's colours, those of the VGA text mode.
    NamedTheme{"vga", theme({0x000000, 0xaa0000, 0x00aa00, 0xaa5500, 0x0000aa, 0xaa00aa, 0x00aaaa, 0xaaaaaa,
                             0x555555, 0xff5555, 0x55ff55, 0xffff55, 0x5555ff, 0xff55ff, 0x55ffff, 0xffffff},
                            0xaaaaaa, 0x000000)},
    NamedTheme{"tango", theme({0x2e3436, 0xcc0000, 0x4e9a06, 0xc4a000, 0x3465a4, 0x75507b, 0x06989a, 0xd3d7cf,
                               0x555753, 0xef2929, 0x8ae234, 0xfce94f, 0x729fcf, 0xad7fa8, 0x34e2e2, 0xeeeeec},
                              0xd3d7cf, 0x2e3436)},
    NamedTheme{"solarized-dark", theme(SOLARIZED, 0x839496, 0x002b36)},
    NamedTheme{"solarized-light", theme(SOLARIZED, 0x657b83, 0xfdf6e3)},
    NamedTheme{"dracula", theme({0x21222c, 0xff5555, 0x50fa7b, 0xf1fa8c, 0xbd93f9, 0xff79c6, 0x8be9fd, 0xf8f8f2,
                                 0x6272a4, 0xff6e6e, 0x69ff94, 0xffffa5, 0xd6acff, 0xff92df, 0xa4ffff, 0xffffff},
                                0xf8f8f2, 0x282a36)},
    NamedTheme{"nord", theme({0x3b4252, 0xbf616a, 0xa3be8c, 0xebcb8b, 0x81a1c1, 0xb48ead, 0x88c0d0, 0xe5e9f0,
                              0x4c566a, 0xbf616a, 0xa3be8c, 0xebcb8b, 0x81a1c1, 0xb48ead, 0x8fbcbb, 0xeceff4},
                             0xd8dee9, 0x2e3440)},
    NamedTheme{"gruvbox-dark", theme({0x282828, 0xcc241d, 0x98971a, 0xd79921, 0x458588, 0xb16286, 0x689d6a, 0xa89984,
                                      0x928374, 0xfb4934, 0xb8bb26, 0xfabd2f, 0x83a598, 0xd3869b, 0x8ec07c, 0xebdbb2},
                                     0xebdbb2, 0x282828)},
    NamedTheme{"gruvbox-light", theme({0xfbf1c7, 0xcc241d, 0x98971a, 0xd79921, 0x458588, 0xb16286, 0x689d6a, 0x7c6f64,
                                       0x928374, 0x9d0006, 0x79740e, 0xb57614, 0x076678, 0x8f3f71, 0x427b58, 0x3c3836},
                                      0x3c3836, 0xfbf1c7)},
    NamedTheme{"one-dark", theme({0x282c34, 0xe06c75, 0x98c379, 0xe5c07b, 0x61afef, 0xc678dd, 0x56b6c2, 0xabb2bf,
                                  0x5c6370, 0xe06c75, 0x98c379, 0xe5c07b, 0x61afef, 0xc678dd, 0x56b6c2, 0xffffff},
                                 0xabb2bf, 0x282c34)},
    NamedTheme{"one-light", theme({0x383a42, 0xe45649, 0x50a14f, 0xc18401, 0x4078f2, 0xa626a4, 0x0184bc, 0xa0a1a7,
                                   0x696c77, 0xca1243, 0x50a14f, 0xc18401, 0x4078f2, 0xa626a4, 0x0184bc, 0xfafafa},
                                  0x383a42, 0xfafafa)},
    NamedTheme{"github-dark", theme({0x484f58, 0xff7b72, 0x3fb950, 0xd29922, 0x58a6ff, 0xbc8cff, 0x39c5cf, 0xb1bac4,
                                     0x6e7681, 0xffa198, 0x56d364, 0xe3b341, 0x79c0ff, 0xd2a8ff, 0x56d4dd, 0xf0f6fc},
                                    0xc9d1d9, 0x0d1117)},
    NamedTheme{"github-light", theme({0x24292f, 0xcf222e, 0x116329, 0x4d2d00, 0x0969da, 0x8250df, 0x1b7c83, 0x6e7781,
                                      0x57606a, 0xa40e26, 0x1a7f37, 0x633c01, 0x218bff, 0xa475f9, 0x3192aa, 0x8c959f},
                                     0x24292f, 0xffffff)},
};

}  // namespace

std::span<const NamedTheme> builtin_themes()
{
    return BUILTIN_THEMES;
}

const Theme* builtin_theme(std::string_view name)
{
    for (const NamedTheme& named : BUILTIN_THEMES) {
        if (name == named.name) return &named.theme;
    }
    return nullptr;
}

void print_theme_names(FILE* stream)
{
    for (const NamedTheme& named : BUILTIN_THEMES) std::fprintf(stream, "%s\n", named.name);
}

}  // namespace vedad
