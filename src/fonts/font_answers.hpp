#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace vedad {

// What fontconfig answered, kept between runs so that a run that names a font or needs a
// fallback face need not load fontconfig's configuration again: in
// $XDG_CACHE_HOME/vedad/fontconfig-answers (~/.cache when XDG_CACHE_HOME is unset). The
// answers hold while every configuration file and font folder fontconfig read, and the places
// a user's configuration would be, keep their modification times (fontconfig's own caches
// go by the same), and while fontconfig's environment is the same; a font installed or
// removed changes its folder's time. Nothing is kept when no such folder can be written.
struct FontAnswer {
    bool found = false;
    std::string path;
    int32_t index = 0;
    uint64_t next = 0;  // where a search through the faces goes on
};

// A file or folder and its modification time when the answers were given; `missing` when it
// did not exist.
struct FileStamp {
    std::string path;
    int64_t seconds = 0;
    int64_t nanoseconds = 0;
    bool missing = false;
};

struct FontAnswers {
    bool loaded = false;   // the file has been read (or found missing or out of date)
    bool changed = false;  // answers were added since
    std::string file;      // empty when no cache folder is known
    std::unordered_map<std::string, FontAnswer> answers;
};

// The answer kept for `question`, reading the file when first asked. False when there is none.
bool find_font_answer(FontAnswers& answers, const std::string& question, FontAnswer& answer);

// Keeps an answer fontconfig gave.
void keep_font_answer(FontAnswers& answers, const std::string& question, const FontAnswer& answer);

// Writes the answers, when some were added, with the stamps of what fontconfig read.
void save_font_answers(FontAnswers& answers, const std::vector<std::string>& read_paths);

}  // namespace vedad
