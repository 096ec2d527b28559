#include "fonts/font_choice.hpp"

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <gd.h>
#include <string_view>
#include <sys/stat.h>

#include "base/fail.hpp"
#include "fonts/font_file.hpp"

namespace vedad {

namespace {

std::string libgd_search_line(const char* font_name)
{
    const char* folders = std::getenv("GDFONTPATH");
    std::string line = "  - by libgd, ";
    if (std::strchr(font_name, '/') != nullptr) return line + "as the path of a font file";
    line += folders != nullptr ? "in the folders of GDFONTPATH (" + std::string(folders) + ")"
                               : "in its built-in font folders (GDFONTPATH is not set)";
    if (std::strchr(font_name, '.') == nullptr) line += ", with .ttf, .pfa, .pfb and .dfont added";
    return line;
}

// The FreeMono file of the font package the program depends on. The default font is taken
// from it without starting fontconfig, whose configuration costs many times what converting
// a small page does; a run given a fontconfig configuration of its own (FONTCONFIG_FILE)
// asks fontconfig instead.
constexpr const char PACKAGED_DEFAULT_FONT[] = VEDAD_DEFAULT_FONT_FILE;

bool takes_packaged_default()
{
    return PACKAGED_DEFAULT_FONT[0] != '\0' && std::getenv("FONTCONFIG_FILE") == nullptr;
}

void refuse_unless_regular(const std::string& path)
{
    if (!is_regular_file(path)) fail("font file %s is not a regular file", path.c_str());
}

// "PATH:INDEX", the face INDEX of the collection at PATH, where no file has the whole name.
bool split_face_index(const char* font_name, FontChoice& choice)
{
    const std::string_view name(font_name);
    const size_t colon = name.rfind(':');
    if (name.find('/') == std::string_view::npos || colon == std::string_view::npos || colon + 1 == name.size()) {
        return false;
    }
    int index = 0;
    for (const char digit : name.substr(colon + 1)) {
        if (digit < '0' || digit > '9' || index > 0xFFFF) return false;
        index = index * 10 + (digit - '0');
    }
    const std::string path(name.substr(0, colon));
    struct stat info;
    if (stat(font_name, &info) == 0 || stat(path.c_str(), &info) != 0) return false;
    refuse_unless_regular(path);
    choice.libgd_name = path;
    choice.path = path;
    choice.index = index;
    return true;
}

}  // namespace

bool libgd_font_path(const char* font_name, double points, std::string& path)
{
    // libgd opens what it finds with FreeType at once: the file is looked at first.
    const std::string found = find_font_file(font_name);
    if (!found.empty()) refuse_unless_regular(found);
    gdFTStringExtra extra{};
    extra.flags = gdFTEX_RETURNFONTPATHNAME;
    std::array<int, 8> box{};
    char empty[] = "";
    // The path is handed back once the face is open, before the size is set, so a size
    // FreeType refuses still names the file; that size's error comes from the text call.
    gdImageStringFTEx(nullptr, box.data(), 0, const_cast<char*>(font_name), points, 0.0, 0, 0, empty, &extra);
    if (extra.fontpath == nullptr) return false;
    path = extra.fontpath;
    gdFree(extra.fontpath);
    return true;
}

FontChoice resolve_font(FontLookup& lookup, const char* font_name, double points, FontRole role)
{
    FontChoice choice;
    choice.asked = font_name;
    choice.libgd_name = font_name;
    if (split_face_index(font_name, choice)) return choice;
    if (libgd_font_path(font_name, points, choice.path)) return choice;
    choice.search = libgd_search_line(font_name);
    if (std::strchr(font_name, '/') != nullptr) return choice;

    const bool is_default = role == FontRole::MAIN && std::strcmp(font_name, DEFAULT_FONT_NAME) == 0;
    if (is_default && takes_packaged_default()) {
        if (libgd_font_path(PACKAGED_DEFAULT_FONT, points, choice.path)) {
            choice.libgd_name = choice.path;
            return choice;
        }
        choice.search.append("\n  - as the file ").append(PACKAGED_DEFAULT_FONT);
    }
    std::vector<const char*> names;
    if (is_default) names.push_back(DEFAULT_FONT_FAMILY);
    names.push_back(font_name);
    choice.search += "\n  - through fontconfig, among the installed fonts, as ";
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) choice.search += ", then as ";
        choice.search.append("'").append(names[i]).append("'");
        FontFile file;
        if (font_lookup_name(lookup, names[i], file)) {
            refuse_unless_regular(file.path);
            // libgd opens a name holding a slash as a path, and the first face of a file.
            choice.libgd_name = file.path;
            choice.path = file.path;
            choice.index = file.index;
            return choice;
        }
    }
    if (font_lookup_failed(lookup)) choice.search += " (fontconfig could not be loaded)";
    return choice;
}

std::string font_search_hint(const FontChoice& choice, const char* font_name)
{
    if (!choice.path.empty()) return "\nThe font '" + std::string(font_name) + "' is the file " + choice.path + ".";
    std::string hint = "\nIf the font was not found: '" + std::string(font_name) + "' was looked for\n";
    hint += choice.search.empty() ? libgd_search_line(font_name) : choice.search;
    hint +=
        "\nName an installed font by its family, or a font file by its path (--font=PATH).\n"
        "The installed monospace fonts are listed by:\n\n"
        "    fc-list :spacing=mono family";
    return hint;
}

}  // namespace vedad
