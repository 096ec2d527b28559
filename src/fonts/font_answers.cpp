#include "fonts/font_answers.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace vedad {

namespace {

constexpr const char HEADER[] = "vedad fontconfig answers 1";

// What fontconfig reads besides its files: its environment.
std::string environment_line()
{
    std::string line = "environment";
    for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "HOME", "XDG_CONFIG_HOME",
                             "XDG_DATA_HOME"}) {
        const char* value = std::getenv(name);
        line += '\t';
        line += name;
        line += '=';
        if (value != nullptr) line += value;
    }
    return line;
}

// Where the answers are kept; empty when no folder is known.
std::string answers_file()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    std::string folder;
    if (cache != nullptr && cache[0] == '/') {
        folder = cache;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') return "";
        folder = std::string(home) + "/.cache";
    }
    return folder + "/vedad/fontconfig-answers";
}

FileStamp stamp_of(const std::string& path)
{
    FileStamp stamp;
    stamp.path = path;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        stamp.missing = true;
        return stamp;
    }
    stamp.seconds = info.st_mtim.tv_sec;
    stamp.nanoseconds = info.st_mtim.tv_nsec;
    return stamp;
}

// Where a user's configuration and fonts would be, whether or not they are there: one that
// appears changes what fontconfig reads.
std::vector<std::string> user_places()
{
    std::vector<std::string> places;
    const char* home = std::getenv("HOME");
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* data = std::getenv("XDG_DATA_HOME");
    if (config != nullptr && config[0] == '/') places.push_back(std::string(config) + "/fontconfig");
    if (data != nullptr && data[0] == '/') places.push_back(std::string(data) + "/fonts");
    if (home != nullptr && home[0] == '/') {
        for (const char* place : {"/.config/fontconfig", "/.local/share/fonts", "/.fonts", "/.fonts.conf"})
            places.push_back(std::string(home) + place);
    }
    return places;
}

bool holds_line_breaks(std::string_view text)
{
    return text.find_first_of("\t\n\r") != std::string_view::npos;
}

void load(FontAnswers& answers)
{
    answers.loaded = true;
    answers.file = answers_file();
    if (answers.file.empty()) return;
    std::ifstream in(answers.file);
    std::string line;
    if (!std::getline(in, line) || line != HEADER) return;
    if (!std::getline(in, line) || line != environment_line()) return;
    std::unordered_map<std::string, FontAnswer> read;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind;
        std::getline(fields, kind, '\t');
        if (kind == "stamp") {
            FileStamp kept;
            std::string missing;
            fields >> kept.seconds >> kept.nanoseconds >> missing;
            fields.get();  // the tab before the path
            std::getline(fields, kept.path);
            kept.missing = missing == "missing";
            const FileStamp now = stamp_of(kept.path);
            if (now.missing != kept.missing || now.seconds != kept.seconds || now.nanoseconds != kept.nanoseconds)
                return;  // out of date: fontconfig is asked again
        } else if (kind == "answer") {
            std::string question;
            std::string found;
            FontAnswer answer;
            std::getline(fields, question, '\t');
            std::getline(fields, found, '\t');
            fields >> answer.index >> answer.next;
            fields.get();
            std::getline(fields, answer.path);
            if (!fields && !fields.eof()) return;
            answer.found = found == "1";
            read[question] = answer;
        } else {
            return;
        }
    }
    answers.answers = std::move(read);
}

}  // namespace

bool find_font_answer(FontAnswers& answers, const std::string& question, FontAnswer& answer)
{
    if (!answers.loaded) load(answers);
    const auto known = answers.answers.find(question);
    if (known == answers.answers.end()) return false;
    answer = known->second;
    return true;
}

void keep_font_answer(FontAnswers& answers, const std::string& question, const FontAnswer& answer)
{
    if (!answers.loaded) load(answers);
    if (holds_line_breaks(question) || holds_line_breaks(answer.path)) return;
    answers.answers[question] = answer;
    answers.changed = true;
}

void save_font_answers(FontAnswers& answers, const std::vector<std::string>& read_paths)
{
    if (!answers.changed || answers.file.empty()) return;
    answers.changed = false;
    std::string text = HEADER;
    text += '\n';
    text += environment_line();
    text += '\n';
    std::vector<std::string> paths = read_paths;
    for (std::string& place : user_places()) paths.push_back(std::move(place));
    for (const std::string& path : paths) {
        if (holds_line_breaks(path)) return;
        const FileStamp stamp = stamp_of(path);
        text += "stamp\t" + std::to_string(stamp.seconds) + ' ' + std::to_string(stamp.nanoseconds) + ' ' +
                (stamp.missing ? "missing" : "present") + '\t' + path + '\n';
    }
    for (const auto& [question, answer] : answers.answers) {
        text += "answer\t" + question + '\t' + (answer.found ? "1" : "0") + '\t' + std::to_string(answer.index) + ' ' +
                std::to_string(answer.next) + '\t' + answer.path + '\n';
    }

    // Written whole under a name of its own, then renamed: a run reading it meanwhile sees the
    // old answers or the new ones.
    const std::string folder = answers.file.substr(0, answers.file.rfind('/'));
    const std::string parent = folder.substr(0, folder.rfind('/'));
    mkdir(parent.c_str(), 0700);
    mkdir(folder.c_str(), 0700);
    std::string temporary = answers.file + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return;
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (close(fd) != 0 || !written || std::rename(temporary.c_str(), answers.file.c_str()) != 0)
        unlink(temporary.c_str());
}

}  // namespace vedad
