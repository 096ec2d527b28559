#include "fonts/font_file.hpp"

#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>


namespace vedad {

namespace {

// libgd's search path when GDFONTPATH is not set, as it is built on this system.
constexpr const char LIBGD_FONT_PATH[] =
    "/usr/X11R6/lib/X11/fonts/TrueType:/usr/X11R6/lib/X11/fonts/truetype:/usr/X11R6/lib/X11/fonts/TTF:"
    "/usr/share/fonts/TrueType:/usr/share/fonts/truetype:/usr/openwin/lib/X11/fonts/TrueType:"
    "/usr/X11R6/lib/X11/fonts/Type1:/usr/lib/X11/fonts/Type1:/usr/openwin/lib/X11/fonts/Type1";
constexpr const char* FONT_EXTENSIONS[] = {".ttf", ".pfa", ".pfb", ".dfont"};

// The non-empty pieces of `text` between `separator`s, as strtok gives them.
std::vector<std::string> split(std::string_view text, char separator)
{
    std::vector<std::string> pieces;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find(separator, start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

bool readable(const std::string& path)
{
    return access(path.c_str(), R_OK) == 0;
}

}  // namespace

std::string find_font_file(const char* font_list)
{
    const char* search_path = std::getenv("GDFONTPATH");
    if (search_path == nullptr) search_path = LIBGD_FONT_PATH;
    for (const std::string& name : split(font_list, ';')) {
        if (name.find('/') != std::string::npos && readable(name)) return name;
        for (const std::string& directory : split(search_path, ':')) {
            const std::string base = directory + "/" + name;
            if (name.find('.') != std::string::npos) {
                if (readable(base)) return base;
                continue;
            }
            for (const char* extension : FONT_EXTENSIONS)
                if (readable(base + extension)) return base + extension;
        }
    }
    return "";
}

bool is_regular_file(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace vedad
