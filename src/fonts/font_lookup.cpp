#include "fonts/font_lookup.hpp"

#include "base/fail.hpp"
#include "fonts/font_answers.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <iterator>
#include <map>
#include <set>
#include <memory>
#include <mutex>
#include <utility>

#include <csignal>
#include <ctime>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include <fontconfig/fontconfig.h>
#include <strings.h>

namespace vedad {

namespace {

// What fontconfig read: its configuration files and their folders, and every font folder.
std::vector<std::string> paths_read(FcConfig* config)
{
    std::vector<std::string> paths;
    for (FcStrList* list : {FcConfigGetConfigFiles(config), FcConfigGetFontDirs(config)}) {
        if (list == nullptr) continue;
        while (FcChar8* path = FcStrListNext(list)) {
            const std::string text = reinterpret_cast<const char*>(path);
            paths.push_back(text);
            const size_t slash = text.rfind('/');
            if (slash != std::string::npos && slash > 0) paths.push_back(text.substr(0, slash));
        }
        FcStrListDone(list);
    }
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

}  // namespace

// With --jobs=, each thread has a configuration of its own, but fontconfig keeps tables of its
// own for the whole process, and loading a configuration sets a signal handler of the
// process's (WaitBreaker): one thread at a time asks fontconfig anything. The answers kept
// between runs spare most runs every question.
namespace {
std::mutex fontconfig_turn;
}  // namespace

struct FontconfigState {
    // fontconfig's answers of earlier runs, and those of this one, kept when it ends.
    FontAnswers answers;
    FcConfig* config = nullptr;
    bool config_failed = false;
    // The installed faces in the order fontconfig prefers them for a monospace text, and for
    // a character shown as an emoji; sorted when first needed.
    FcFontSet* for_text = nullptr;
    FcFontSet* for_emoji = nullptr;
    // Every character some installed face has: a character outside it is looked for nowhere.
    FcCharSet* any_face = nullptr;
    bool any_face_made = false;

    ~FontconfigState()
    {
        const std::lock_guard turn(fontconfig_turn);
        if (config != nullptr) save_font_answers(answers, paths_read(config));
        if (for_text != nullptr) FcFontSetDestroy(for_text);
        if (for_emoji != nullptr) FcFontSetDestroy(for_emoji);
        if (any_face != nullptr) FcCharSetDestroy(any_face);
        if (config != nullptr) FcConfigDestroy(config);
    }
};

namespace {

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

const FcChar8* fc_text(const char* text)
{
    return reinterpret_cast<const FcChar8*>(text);
}

// fontconfig reads its configuration and opens every file of its font folders: a FIFO there
// would hold it for ever, a device would be read as a font. Its configuration must be a file
// or a folder of files.
void refuse_irregular_configuration()
{
    const char* file = std::getenv("FONTCONFIG_FILE");
    struct stat info;
    if (file == nullptr || stat(file, &info) != 0) return;  // fontconfig says what it misses
    if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        fail("fontconfig configuration %s is not a regular file", file);
    }
}

// Deep enough for any font tree; a loop of links goes no further.
constexpr int MOST_FOLDER_DEPTH = 16;

// Whether any entry below `folder` is neither a regular file nor a folder.
bool holds_irregular_files(const std::string& folder, int depth)
{
    if (depth > MOST_FOLDER_DEPTH) return false;
    DIR* entries = opendir(folder.c_str());
    if (entries == nullptr) return false;
    bool found = false;
    while (const dirent* entry = readdir(entries)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "/" + name;
        unsigned char type = entry->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat info;
            if (stat(path.c_str(), &info) != 0) continue;  // a dangling link opens nothing
            type = S_ISREG(info.st_mode) ? DT_REG : S_ISDIR(info.st_mode) ? DT_DIR : DT_FIFO;
        }
        found = type == DT_DIR ? holds_irregular_files(path, depth + 1) : type != DT_REG;
        if (found) break;
    }
    closedir(entries);
    return found;
}

bool font_folders_hold_irregular_files(FcConfig* config)
{
    bool found = false;
    FcStrList* folders = FcConfigGetFontDirs(config);
    if (folders == nullptr) return false;
    while (const FcChar8* folder = FcStrListNext(folders)) {
        if (holds_irregular_files(reinterpret_cast<const char*>(folder), 0)) found = true;
    }
    FcStrListDone(folders);
    return found;
}

void interrupt(int) {}

// While it lives, a signal every tenth of a second ends any open or read that waits (on a
// FIFO, a terminal): fontconfig then takes that file for one it cannot read and goes on. A
// regular file's reads never wait so.
class WaitBreaker {
public:
    WaitBreaker()
    {
        struct sigaction action {};
        action.sa_handler = interrupt;  // no SA_RESTART: the waiting call fails with EINTR
        sigemptyset(&action.sa_mask);
        sigaction(SIGNAL, &action, &previous_);
        // Sent to this thread alone: with --jobs=, other threads' reads must not be cut short.
        sigevent event{};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = SIGNAL;
        event._sigev_un._tid = gettid();
        armed_ = timer_create(CLOCK_MONOTONIC, &event, &timer_) == 0;
        const itimerspec every{{0, 100'000'000}, {0, 100'000'000}};
        if (armed_) timer_settime(timer_, 0, &every, nullptr);
    }
    ~WaitBreaker()
    {
        if (armed_) timer_delete(timer_);
        sigaction(SIGNAL, &previous_, nullptr);
    }
    WaitBreaker(const WaitBreaker&) = delete;
    WaitBreaker& operator=(const WaitBreaker&) = delete;

private:
    static constexpr int SIGNAL = SIGURG;  // ignored by default, and sent by nothing here
    struct sigaction previous_ {};
    timer_t timer_{};
    bool armed_ = false;
};

FcConfig* load_configuration()
{
    refuse_irregular_configuration();
    FcConfig* config = FcInitLoadConfig();
    if (config == nullptr) return nullptr;
    std::optional<WaitBreaker> breaker;
    if (font_folders_hold_irregular_files(config)) breaker.emplace();
    if (!FcConfigBuildFonts(config)) {
        FcConfigDestroy(config);
        return nullptr;
    }
    return config;
}

bool ready(FontconfigState& state)
{
    if (state.config == nullptr && !state.config_failed) {
        state.config = load_configuration();
        state.config_failed = state.config == nullptr;
    }
    return state.config != nullptr;
}

// An answer kept from an earlier run: true, with `found` and `file` set, when there is one.
bool answered_before(FontconfigState& state, const std::string& question, bool& found, FontFile& file,
                     size_t* next = nullptr)
{
    FontAnswer answer;
    if (!find_font_answer(state.answers, question, answer)) return false;
    found = answer.found;
    if (found) file = FontFile{answer.path, answer.index};
    if (next != nullptr) *next = static_cast<size_t>(answer.next);
    return true;
}

// Keeps what fontconfig answered, when it was loaded to answer it.
bool answer(FontconfigState& state, const std::string& question, bool found, const FontFile& file, size_t next = 0)
{
    if (state.config != nullptr) {
        keep_font_answer(state.answers, question,
                         FontAnswer{found, found ? file.path : std::string(), found ? file.index : 0, next});
    }
    return found;
}

bool file_of(const FcPattern* font, FontFile& file)
{
    FcChar8* path = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &path) != FcResultMatch || path == nullptr) return false;
    int index = 0;
    if (FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    file.path = reinterpret_cast<const char*>(path);
    // The upper bits of an index name an instance of a variable font; the face is the low ones.
    file.index = index & 0xFFFF;
    return true;
}

// Family names compare as fontconfig compares them: blanks and ASCII case do not count.
bool same_family(const FcChar8* a, const FcChar8* b)
{
    for (;;) {
        while (*a == ' ') ++a;
        while (*b == ' ') ++b;
        if (*a == 0 || *b == 0) return *a == *b;
        if (std::tolower(*a) != std::tolower(*b)) return false;
        ++a;
        ++b;
    }
}

// Whether the matched font is one of the families the name asks for: the name itself, the
// families the configuration puts in its place with the same weight (Courier: Nimbus Mono PS)
// and those it prefers for it (monospace: DejaVu Sans Mono), which all come up to the last
// strongly bound family. The weak defaults every pattern gets come after it: a name that
// only those would match is no installed font.
bool matches_asked_family(const FcPattern* asked, const FcPattern* font)
{
    FcValue value;
    FcValueBinding binding;
    int last_strong = -1;
    for (int i = 0; FcPatternGetWithBinding(asked, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i) {
        if (binding == FcValueBindingStrong) last_strong = i;
    }
    for (int i = 0; i <= last_strong; ++i) {
        if (FcPatternGetWithBinding(asked, FC_FAMILY, i, &value, &binding) != FcResultMatch) break;
        if (value.type != FcTypeString) continue;
        FcChar8* family = nullptr;
        for (int j = 0; FcPatternGetString(font, FC_FAMILY, j, &family) == FcResultMatch; ++j) {
            if (same_family(family, value.u.s)) return true;
        }
    }
    return last_strong < 0;
}

FcFontSet* sorted_faces(FontconfigState& state, bool emoji)
{
    FcFontSet*& faces = emoji ? state.for_emoji : state.for_text;
    if (faces != nullptr) return faces;
    Pattern pattern(FcPatternCreate());
    if (pattern == nullptr) return nullptr;
    FcPatternAddString(pattern.get(), FC_FAMILY, fc_text("monospace"));
    // Emoji fonts are marked with this language; it ranks above a weak family.
    if (emoji) FcPatternAddString(pattern.get(), FC_LANG, fc_text("und-zsye"));
    FcConfigSubstitute(state.config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result;
    faces = FcFontSort(state.config, pattern.get(), FcFalse, nullptr, &result);
    return faces;
}

struct ObjectSetDeleter {
    void operator()(FcObjectSet* objects) const { FcObjectSetDestroy(objects); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* fonts) const { FcFontSetDestroy(fonts); }
};

bool is_monospace(const FcPattern* font)
{
    int spacing = FC_PROPORTIONAL;
    return FcPatternGetInteger(font, FC_SPACING, 0, &spacing) == FcResultMatch &&
           (spacing == FC_MONO || spacing == FC_DUAL || spacing == FC_CHARCELL);
}

// A family name as a fontconfig pattern, which --font= is, reads it back.
std::string escaped_family(const char* family)
{
    std::string name;
    for (const char* c = family; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '-' || *c == ':' || *c == ',') name += '\\';
        name += *c;
    }
    return name;
}

// Names sort as a reader looks them up: ASCII case aside, and by their bytes where only case
// tells them apart.
bool name_before(const std::string& a, const std::string& b)
{
    const int folded = strcasecmp(a.c_str(), b.c_str());
    return folded != 0 ? folded < 0 : a < b;
}

// The code points shown as emoji by default (Emoji_Presentation), as first and last.
constexpr std::pair<uint32_t, uint32_t> EMOJI_PRESENTATION[] = {
    {0x231A, 0x231B},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},
    {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},   {0x26D4, 0x26D4},
    {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},   {0x26FA, 0x26FA},   {0x26FD, 0x26FD},
    {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},
    {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF},
    {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F1E6, 0x1F1FF}, {0x1F201, 0x1F201}, {0x1F21A, 0x1F21A},
    {0x1F22F, 0x1F22F}, {0x1F232, 0x1F236}, {0x1F238, 0x1F23A}, {0x1F250, 0x1F251}, {0x1F300, 0x1F320},
    {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3},
    {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC},
    {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596},
    {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2},
    {0x1F6D5, 0x1F6D7}, {0x1F6DC, 0x1F6DF}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB},
    {0x1F7F0, 0x1F7F0}, {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FA7C},
    {0x1FA80, 0x1FA88}, {0x1FA90, 0x1FABD}, {0x1FABF, 0x1FAC5}, {0x1FACE, 0x1FADB}, {0x1FAE0, 0x1FAE8},
    {0x1FAF0, 0x1FAF8},
};

// Whether any face of `faces` (every installed face, sorted) has `character`: one look into
// their union, made once, instead of one into each face.
bool some_face_has(FontconfigState& state, const FcFontSet* faces, uint32_t character)
{
    if (!state.any_face_made) {
        state.any_face_made = true;
        state.any_face = FcCharSetCreate();
        for (int i = 0; state.any_face != nullptr && i < faces->nfont; ++i) {
            FcCharSet* characters = nullptr;
            if (FcPatternGetCharSet(faces->fonts[i], FC_CHARSET, 0, &characters) == FcResultMatch) {
                FcCharSetMerge(state.any_face, characters, nullptr);
            }
        }
    }
    return state.any_face == nullptr || FcCharSetHasChar(state.any_face, character);
}

}  // namespace

FontLookup::FontLookup() : state(std::make_unique<FontconfigState>()) {}

FontLookup::~FontLookup() = default;

bool font_lookup_started(const FontLookup& lookup)
{
    return lookup.state->config != nullptr;
}

bool font_lookup_failed(const FontLookup& lookup)
{
    return lookup.state->config_failed;
}

namespace {

// The installed font `name` names, as fontconfig finds it now.
bool name_from_fontconfig(FontconfigState& state, const char* name, FontFile& file)
{
    if (!ready(state)) return false;
    Pattern pattern(FcNameParse(fc_text(name)));
    if (pattern == nullptr) return false;
    // A name that holds no family ("-", ":", a bare list of properties) names no font; with no
    // family fontconfig would take any.
    FcChar8* family = nullptr;
    if (FcPatternGetString(pattern.get(), FC_FAMILY, 0, &family) != FcResultMatch || family == nullptr ||
        family[0] == '\0') {
        return false;
    }
    FcConfigSubstitute(state.config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result;
    Pattern font(FcFontMatch(state.config, pattern.get(), &result));
    return font != nullptr && matches_asked_family(pattern.get(), font.get()) && file_of(font.get(), file);
}

int integer_of(const FcPattern* font, const char* object, int otherwise)
{
    int value = otherwise;
    FcPatternGetInteger(font, object, 0, &value);
    return value;
}

bool has_family(const FcPattern* font, const FcChar8* asked)
{
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
        if (same_family(family, asked)) return true;
    }
    return false;
}

// The face of `regular`'s family in `style`, as fontconfig finds it now.
bool styled_from_fontconfig(FontconfigState& state, const FontFile& regular, FaceStyle style, FontFile& styled)
{
    if (!ready(state)) return false;
    int faces = 0;
    Pattern face(FcFreeTypeQuery(fc_text(regular.path.c_str()), regular.index, nullptr, &faces));
    FcChar8* family = nullptr;
    if (face == nullptr || FcPatternGetString(face.get(), FC_FAMILY, 0, &family) != FcResultMatch) return false;
    const bool bold = (style & STYLE_BOLD) != 0;
    const bool italic = (style & STYLE_ITALIC) != 0;
    const int own_weight = integer_of(face.get(), FC_WEIGHT, FC_WEIGHT_REGULAR);
    const int own_slant = integer_of(face.get(), FC_SLANT, FC_SLANT_ROMAN);
    const int width = integer_of(face.get(), FC_WIDTH, FC_WIDTH_NORMAL);
    const int weight = bold ? std::max(own_weight, int{FC_WEIGHT_BOLD}) : own_weight;
    const int slant = italic && own_slant == FC_SLANT_ROMAN ? int{FC_SLANT_ITALIC} : own_slant;

    Pattern asked(FcPatternCreate());
    if (asked == nullptr) return false;
    FcPatternAddString(asked.get(), FC_FAMILY, family);
    FcPatternAddInteger(asked.get(), FC_WEIGHT, weight);
    FcPatternAddInteger(asked.get(), FC_SLANT, slant);
    FcPatternAddInteger(asked.get(), FC_WIDTH, width);
    FcDefaultSubstitute(asked.get());
    FcResult result;
    Pattern found(FcFontMatch(state.config, asked.get(), &result));
    // fontconfig gives its nearest face whatever it is: only one of the family, in the style
    // asked for and otherwise like the regular face, will do.
    if (found == nullptr || !has_family(found.get(), family)) return false;
    const int found_weight = integer_of(found.get(), FC_WEIGHT, FC_WEIGHT_REGULAR);
    const int found_slant = integer_of(found.get(), FC_SLANT, FC_SLANT_ROMAN);
    if (integer_of(found.get(), FC_WIDTH, FC_WIDTH_NORMAL) != width) return false;
    if (bold ? found_weight < FC_WEIGHT_DEMIBOLD : found_weight != own_weight) return false;
    if (italic ? found_slant == FC_SLANT_ROMAN : found_slant != own_slant) return false;
    return file_of(found.get(), styled);
}

// The faces that have `character`, as fontconfig finds them now: the next after `position`.
bool character_from_fontconfig(FontconfigState& state, uint32_t character, Presentation presentation,
                               size_t& position, FontFile& file)
{
    if (!ready(state)) return false;
    const bool emoji = presentation == Presentation::DEFAULT ? is_emoji_presentation(character)
                                                              : presentation == Presentation::EMOJI;
    const FcFontSet* faces = sorted_faces(state, emoji);
    if (faces == nullptr) return false;
    if (position == 0 && !some_face_has(state, faces, character)) return false;
    while (position < static_cast<size_t>(faces->nfont)) {
        const FcPattern* face = faces->fonts[position++];
        FcCharSet* characters = nullptr;
        if (FcPatternGetCharSet(face, FC_CHARSET, 0, &characters) != FcResultMatch) continue;
        if (FcCharSetHasChar(characters, character) && file_of(face, file)) return true;
    }
    return false;
}

}  // namespace

bool font_lookup_name(FontLookup& lookup, const char* name, FontFile& file)
{
    const std::lock_guard turn(fontconfig_turn);
    FontconfigState& state = *lookup.state;
    if (name[0] == '\0') return false;
    const std::string question = std::string("name ") + name;
    bool found = false;
    if (answered_before(state, question, found, file)) return found;
    found = name_from_fontconfig(state, name, file);
    return answer(state, question, found, file);
}

bool font_lookup_styled(FontLookup& lookup, const FontFile& regular, FaceStyle style, FontFile& styled)
{
    const std::lock_guard turn(fontconfig_turn);
    FontconfigState& state = *lookup.state;
    // The family is read from the regular file, which need not lie in a font folder: the
    // question holds its time, so that another file under its name is asked about afresh.
    struct stat info {};
    if (stat(regular.path.c_str(), &info) != 0) return styled_from_fontconfig(state, regular, style, styled);
    const std::string question = "styled " + std::to_string(regular.index) + ' ' +
                                 std::to_string(static_cast<int>(style)) + ' ' + std::to_string(info.st_mtim.tv_sec) +
                                 '.' + std::to_string(info.st_mtim.tv_nsec) + ' ' + regular.path;
    bool found = false;
    if (answered_before(state, question, found, styled)) return found;
    found = styled_from_fontconfig(state, regular, style, styled);
    return answer(state, question, found, styled);
}

bool font_lookup_character(FontLookup& lookup, uint32_t character, Presentation presentation, size_t& position,
                           FontFile& file)
{
    const std::lock_guard turn(fontconfig_turn);
    FontconfigState& state = *lookup.state;
    const std::string question = "character " + std::to_string(character) + ' ' +
                                 std::to_string(static_cast<int>(presentation)) + ' ' + std::to_string(position);
    bool found = false;
    size_t next = position;
    if (answered_before(state, question, found, file, &next)) {
        position = next;
        return found;
    }
    found = character_from_fontconfig(state, character, presentation, position, file);
    return answer(state, question, found, file, position);
}

std::vector<FontFamily> font_lookup_families(FontLookup& lookup, FontListing listing)
{
    const std::lock_guard turn(fontconfig_turn);
    FontconfigState& state = *lookup.state;
    std::vector<FontFamily> families;
    if (!ready(state)) return families;
    Pattern everything(FcPatternCreate());
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_SPACING, nullptr));
    if (everything == nullptr || objects == nullptr) return families;
    std::unique_ptr<FcFontSet, FontSetDeleter> fonts(FcFontList(state.config, everything.get(), objects.get()));
    if (fonts == nullptr) return families;

    std::map<std::string, std::set<std::string>> styles_of;
    for (int i = 0; i < fonts->nfont; ++i) {
        const FcPattern* font = fonts->fonts[i];
        FcChar8* family = nullptr;
        if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch || family == nullptr) continue;
        if (listing == FontListing::MONOSPACE && !is_monospace(font)) continue;
        std::set<std::string>& styles = styles_of[escaped_family(reinterpret_cast<const char*>(family))];
        FcChar8* style = nullptr;
        if (FcPatternGetString(font, FC_STYLE, 0, &style) == FcResultMatch && style != nullptr)
            styles.insert(reinterpret_cast<const char*>(style));
    }
    for (auto& [name, styles] : styles_of) {
        FontFamily family{name, std::vector<std::string>(styles.begin(), styles.end())};
        std::sort(family.styles.begin(), family.styles.end(), name_before);
        families.push_back(std::move(family));
    }
    std::sort(families.begin(), families.end(),
              [](const FontFamily& a, const FontFamily& b) { return name_before(a.name, b.name); });
    return families;
}

bool is_emoji_presentation(uint32_t character)
{
    const auto* after = std::upper_bound(std::begin(EMOJI_PRESENTATION), std::end(EMOJI_PRESENTATION), character,
                                         [](uint32_t c, const std::pair<uint32_t, uint32_t>& range) { return c < range.first; });
    return after != std::begin(EMOJI_PRESENTATION) && character <= (after - 1)->second;
}

}  // namespace vedad
