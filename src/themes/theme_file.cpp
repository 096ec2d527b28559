#include "themes/theme_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "base/fail.hpp"
#include "themes/builtin_themes.hpp"
#include "themes/itermcolors.hpp"
#include "themes/windows_terminal.hpp"
#include "themes/xresources.hpp"

namespace vedad {

namespace {

constexpr std::string_view BYTE_ORDER_MARK = "\xef\xbb\xbf";

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

// The whole file, or a failure that says why not.
std::string read_whole_file(const char* value)
{
    const std::unique_ptr<FILE, FileCloser> file(std::fopen(value, "rb"));
    if (file == nullptr) {
        if (errno == ENOENT && std::strchr(value, '/') == nullptr)
            fail("--theme=%s names no built-in theme and no file (--theme=list lists the built-in themes)", value);
        fail("could not read theme file %s: %s", value, std::strerror(errno));
    }
    std::string text;
    char buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        text.append(buffer, count);
        if (text.size() > THEME_FILE_LIMIT)
            fail("theme file %s is larger than %zu KiB, too large for a theme", value, THEME_FILE_LIMIT / 1024);
    }
    if (std::ferror(file.get())) fail("could not read theme file %s: %s", value, std::strerror(errno));
    return text;
}

}  // namespace

ThemeReading read_theme_text(std::string_view text)
{
    if (text.starts_with(BYTE_ORDER_MARK)) text.remove_prefix(BYTE_ORDER_MARK.size());
    std::string_view start = text;
    start.remove_prefix(std::min(start.find_first_not_of(" \t\r\n\f\v"), start.size()));
    if (start.starts_with('{')) return read_windows_terminal_scheme(text);
    if (start.starts_with("<?xml") || start.starts_with("<plist")) return read_itermcolors(text);
    return read_xresources(text);
}

Theme load_theme(const char* value)
{
    if (*value == '\0') fail("--theme= expects a built-in theme's name or a theme file, as in --theme=solarized-dark");
    if (const Theme* theme = builtin_theme(value)) return *theme;
    const std::string text = read_whole_file(value);
    const ThemeReading reading = read_theme_text(text);
    if (reading.problem.empty()) return reading.theme;
    if (reading.line > 0) fail("theme file %s, line %lld: %s", value, static_cast<long long>(reading.line),
                               reading.problem.c_str());
    fail("theme file %s: %s", value, reading.problem.c_str());
}

}  // namespace vedad
