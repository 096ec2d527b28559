#include "themes/itermcolors.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include <expat.h>

namespace vedad {

namespace {

constexpr std::array<const char*, 3> COMPONENTS = {"Red Component", "Green Component", "Blue Component"};

// Keys and numbers are short: text beyond this is not kept (a value that long is no number).
constexpr size_t LONGEST_TEXT = 256;

std::string key_name(int slot)
{
    if (slot == THEME_FOREGROUND) return "Foreground Color";
    if (slot == THEME_BACKGROUND) return "Background Color";
    return "Ansi " + std::to_string(slot) + " Color";
}

int slot_of(const std::string& key)
{
    for (int slot = 0; slot < THEME_COLOR_COUNT; ++slot) {
        if (key == key_name(slot)) return slot;
    }
    return -1;
}

int component_of(const std::string& key)
{
    for (size_t i = 0; i < COMPONENTS.size(); ++i) {
        if (key == COMPONENTS[i]) return static_cast<int>(i);
    }
    return -1;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Where the reading stands. The property list's root dictionary is at depth 2 (inside
// <plist>), its keys and colour dictionaries at depth 3, a colour's keys and numbers at 4.
struct Plist {
    XML_Parser parser = nullptr;
    int depth = 0;
    std::string text;  // the character data of the key or number being read
    std::string key;   // the root dictionary's last key
    int slot = -1;     // the colour whose dictionary is open, or -1
    int component = -1;  // the colour component whose value comes next, or -1
    std::array<double, 3> components{};
    std::array<bool, 3> given{};
    ThemeColors colors;
    ThemeReading problem;
};

void stop(Plist& plist, const std::string& problem)
{
    if (!plist.problem.problem.empty()) return;
    plist.problem = theme_problem(problem, static_cast<int64_t>(XML_GetCurrentLineNumber(plist.parser)));
    XML_StopParser(plist.parser, XML_FALSE);
}

void on_start(void* data, const XML_Char* name, const XML_Char**)
{
    Plist& plist = *static_cast<Plist*>(data);
    const int depth = ++plist.depth;
    plist.text.clear();
    if (depth == 1 && std::strcmp(name, "plist") != 0)
        return stop(plist, std::string("not a property list: it begins with <") + name + ">");
    if (depth == 2 && std::strcmp(name, "dict") != 0)
        return stop(plist, std::string("not a property list of colours: it holds <") + name + ">, not <dict>");
    if (depth == 3 && std::strcmp(name, "dict") == 0) {
        plist.slot = slot_of(plist.key);
        plist.component = -1;
        plist.given = {};
    }
}

void on_end(void* data, const XML_Char* name)
{
    Plist& plist = *static_cast<Plist*>(data);
    const int depth = plist.depth--;
    const bool is_key = std::strcmp(name, "key") == 0;
    if (depth == 3 && is_key) plist.key = trimmed(plist.text);
    if (depth == 3 && std::strcmp(name, "dict") == 0 && plist.slot >= 0) {
        for (size_t i = 0; i < COMPONENTS.size(); ++i) {
            if (!plist.given[i]) return stop(plist, key_name(plist.slot) + " has no " + COMPONENTS[i]);
        }
        const auto level = [&](size_t i) { return static_cast<uint8_t>(std::lround(plist.components[i] * 255.0)); };
        set_theme_color(plist.colors, plist.slot, Rgb{level(0), level(1), level(2)});
        plist.slot = -1;
    }
    if (depth != 4 || plist.slot < 0) return;
    if (is_key) {
        plist.component = component_of(trimmed(plist.text));
        return;
    }
    if (plist.component < 0) return;
    const std::string value = trimmed(plist.text);
    const bool number = std::strcmp(name, "real") == 0 || std::strcmp(name, "integer") == 0;
    char* end = nullptr;
    const double level = number ? std::strtod(value.c_str(), &end) : 0.0;
    if (!number || value.empty() || *end != '\0' || !(level >= 0.0 && level <= 1.0)) {
        return stop(plist, key_name(plist.slot) + "'s " + COMPONENTS[static_cast<size_t>(plist.component)] +
                               " is <" + name + ">" + value.substr(0, 40) + "</" + name + ">, not a real from 0 to 1");
    }
    plist.components[static_cast<size_t>(plist.component)] = level;
    plist.given[static_cast<size_t>(plist.component)] = true;
    plist.component = -1;
}

void on_text(void* data, const XML_Char* text, int length)
{
    Plist& plist = *static_cast<Plist*>(data);
    const size_t room = LONGEST_TEXT - std::min(plist.text.size(), LONGEST_TEXT);
    plist.text.append(text, std::min(static_cast<size_t>(length), room));
}

}  // namespace

ThemeReading read_itermcolors(std::string_view text)
{
    Plist plist;
    plist.parser = XML_ParserCreate(nullptr);
    if (plist.parser == nullptr) return theme_problem("out of memory for reading XML");
    XML_SetUserData(plist.parser, &plist);
    XML_SetElementHandler(plist.parser, on_start, on_end);
    XML_SetCharacterDataHandler(plist.parser, on_text);
    const XML_Status status = XML_Parse(plist.parser, text.data(), static_cast<int>(text.size()), XML_TRUE);
    ThemeReading reading;
    if (!plist.problem.problem.empty()) {
        reading = plist.problem;
    } else if (status != XML_STATUS_OK) {
        reading = theme_problem(std::string("not XML: ") + XML_ErrorString(XML_GetErrorCode(plist.parser)),
                                static_cast<int64_t>(XML_GetCurrentLineNumber(plist.parser)));
    } else {
        reading = complete_theme(plist.colors, key_name);
    }
    XML_ParserFree(plist.parser);
    return reading;
}

}  // namespace vedad
