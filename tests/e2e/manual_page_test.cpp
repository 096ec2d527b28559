// The manual page and the bash completion must keep up with the option parser: every option
// that the parser accepts is documented and completed, and nothing else is. The option names
// are read from the parser's source, so a new option that is left out of either fails here.

#include <cstdio>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "support/test_support.hpp"

using namespace vedad_test;
namespace fs = std::filesystem;

namespace {

const fs::path SOURCE_DIR = fs::path(VEDAD_FIXTURE_DIR).parent_path().parent_path();
const fs::path MANUAL = SOURCE_DIR / "man" / "vedad.1";
const fs::path COMPLETION = SOURCE_DIR / "completion" / "vedad.bash";

using Names = std::set<std::string>;

// Every string literal of the parser that begins with a hyphen is an option it tests for.
Names parser_options()
{
    const std::string source = read_file(SOURCE_DIR / "src" / "cli" / "parse_options.cpp");
    const std::regex literal(R"re("(-[-A-Za-z0-9]*=?)")re");
    Names names;
    for (std::sregex_iterator it(source.begin(), source.end(), literal), end; it != end; ++it)
        names.insert((*it)[1]);
    return names;
}

std::string join(const Names& names)
{
    std::string text;
    for (const std::string& name : names) text += name + " ";
    return text;
}

struct ShellResult {
    int status = -1;
    std::string out;  // standard output and standard error together
};

ShellResult run_shell(const std::string& command)
{
    ShellResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, count);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string shell_quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The options named by the tags of the OPTIONS section, read from the roff source: the
// line after each .TP or .TQ, with "\-" as a hyphen.
Names documented_options()
{
    std::istringstream manual(std::regex_replace(read_file(MANUAL), std::regex(R"(\\-)"), "-"));
    const std::regex option(R"((?:^|[ "])(-[-A-Za-z0-9]*=?))");
    Names names;
    bool in_options = false;
    bool tag_next = false;
    for (std::string line; std::getline(manual, line);) {
        if (line.starts_with(".SH")) in_options = line == ".SH OPTIONS";
        if (!in_options) continue;
        if (tag_next) {
            for (std::sregex_iterator it(line.begin(), line.end(), option), end; it != end; ++it)
                names.insert((*it)[1]);
        }
        tag_next = line == ".TP" || line == ".TQ";
    }
    return names;
}

}  // namespace

TEST(ManualPage, DocumentsEveryOptionThatTheParserAccepts)
{
    const Names accepted = parser_options();
    ASSERT_TRUE(accepted.contains("--help") && accepted.contains("--font-size=") && accepted.contains("-V"))
        << "the option names were not found in the parser: " << join(accepted);

    Names expected = accepted;
    expected.insert("-");  // standard input has an entry of its own
    EXPECT_EQ(documented_options(), expected);
}

TEST(ManualPage, LintsClean)
{
    struct Lint {
        const char* name;
        std::string command;
    };
    const Lint lints[] = {
        {"mandoc", "mandoc -T lint -W warning " + shell_quoted(MANUAL.string())},
        {"groff", "groff -man -ww -z -Tutf8 " + shell_quoted(MANUAL.string())},
    };
    for (const Lint& lint : lints) {
        const ShellResult result = run_shell(lint.command);
        EXPECT_EQ(result.status, 0) << lint.name << " (from scripts/setup.sh's packages): " << result.out;
        EXPECT_EQ(result.out, "") << lint.name;
    }
}

TEST(ManualPage, NamesTheProgramsVersion)
{
    TempDir dir;
    const RunResult version = run_vedad(dir.path(), {"--version"});
    ASSERT_EQ(version.status, 0);
    const std::string first_line = version.err.substr(0, version.err.find('\n'));  // "vedad 0.1.5"

    std::istringstream manual(read_file(MANUAL));
    std::string title;
    std::getline(manual, title);
    if (title.starts_with("'\\\" ")) std::getline(manual, title);  // the preprocessors' line, as for tables
    EXPECT_TRUE(title.starts_with(".TH VEDAD 1 ")) << title;
    EXPECT_NE(title.find('"' + first_line + '"'), std::string::npos) << title;
}

TEST(Completion, OffersOptionsValuesAndFiles)
{
    TempDir dir;
    write_file(dir / "notes.txt", "abc\n");
    write_file(dir / "-x.txt", "abc\n");
    fs::create_directory(dir / "sub");

    struct Case {
        std::vector<std::string> words;  // the last one is the word being completed
        Names replies;
        bool nospace;
        const char* wordbreaks = nullptr;  // COMP_WORDBREAKS, when not bash's own
    };
    Names every_option = parser_options();
    const Case cases[] = {
        {{"vedad", "-"}, every_option, true},
        {{"vedad", "--no-c"}, {"--no-crop"}, false},
        {{"vedad", "--font-s"}, {"--font-size="}, true},
        {{"vedad", "--fo"}, {"--font=", "--font-size=", "--foreground=", "--format="}, true},
        {{"vedad", "--format", "="}, {"argb32", "rgb24", "a8"}, false},
        {{"vedad", "--format", "=", "rg"}, {"rgb24"}, false},
        {{"vedad", "--format=a"}, {"--format=argb32", "--format=a8"}, false, " \t\n"},
        {{"vedad", "--width", "=", "1"}, {}, false},
        {{"vedad", "--output", "=", "s"}, {"sub"}, false},
        {{"vedad", "--output=s"}, {"--output=sub"}, false, " \t\n"},
        {{"vedad", "--font", "=", "no"}, {"notes.txt"}, false},
        {{"vedad", "no"}, {"notes.txt"}, false},
        {{"vedad", "--size=80x60", "n"}, {"notes.txt"}, false},
        // A value in the next word, written after an option alone.
        {{"vedad", "--format", "rg"}, {"rgb24"}, false},
        {{"vedad", "--output", "no"}, {"notes.txt"}, false},
        {{"vedad", "-o", "s"}, {"sub"}, false},
        {{"vedad", "--width", "n"}, {}, false},
        {{"vedad", "--list-fonts", "=", ""}, {"all"}, false},
        // After --, only files.
        {{"vedad", "--", "-"}, {"-x.txt"}, false},
        {{"vedad", "--", "--fo"}, {}, false},
        // Font families as the program lists them, here the tests' fonts.
        {{VEDAD_BINARY, "--font", "=", "Free"}, {"FreeMono"}, false},
        {{VEDAD_BINARY, "--font", "De"}, {"DejaVu Sans Mono"}, false},
        {{VEDAD_BINARY, "--font=DejaVu\\ S"}, {"--font=DejaVu Sans Mono"}, false, " \t\n"},
        {{VEDAD_BINARY, "--fallback-font", "=", "FreeMono,De"}, {"FreeMono,DejaVu Sans Mono"}, false},
        {{"vedad", "--theme", "=", "sol"}, {"solarized-dark", "solarized-light"}, false},
        {{"vedad", "--theme", "=", "no"}, {"nord", "notes.txt"}, false},
        {{"vedad", "--theme=l"}, {"--theme=list"}, false, " \t\n"},
        {{"vedad", "--min-contrast", "=", "4"}, {}, false},
    };
    for (const Case& c : cases) {
        std::string words;
        for (const std::string& word : c.words) words += shell_quoted(word) + " ";
        std::string script = "cd " + shell_quoted(dir.path().string()) + " && source " + shell_quoted(COMPLETION.string()) +
                             " && complete -p vedad | grep -qx 'complete -F _vedad vedad' || echo not registered;";
        if (c.wordbreaks != nullptr) script += " COMP_WORDBREAKS=$" + shell_quoted(c.wordbreaks) + ";";
        // compopt only works while bash completes; record what it is asked instead.
        script += R"( compopt() { local o; for o; do [ "$o" = nospace ] && echo @nospace; done; return 0; };)";
        script += " COMP_WORDS=(" + words + "); COMP_CWORD=" + std::to_string(c.words.size() - 1) +
                  "; _vedad; printf '%s\\n' \"${COMPREPLY[@]}\"";
        const ShellResult result = run_shell("bash -c " + shell_quoted(script));

        std::string label = "completing:";
        for (const std::string& word : c.words) label += " [" + word + "]";
        EXPECT_EQ(result.status, 0) << label << "\n" << result.out;
        Names replies;
        bool nospace = false;
        std::istringstream lines(result.out);
        for (std::string line; std::getline(lines, line);) {
            if (line == "@nospace") nospace = true;
            else if (!line.empty()) replies.insert(line);
        }
        EXPECT_EQ(replies, c.replies) << label << "\n" << result.out;
        EXPECT_EQ(nospace, c.nospace) << label;
    }
}

// The theme names completed after --theme= are the built-in ones, as --theme=list prints them.
TEST(Completion, OffersTheBuiltInThemesNames)
{
    TempDir dir;
    Launch how;
    how.capture_out = true;
    const Outcome list = launch(dir.path(), {"--theme=list"}, how);
    ASSERT_EQ(list.status, 0);
    Names listed;
    std::istringstream names(list.out);
    for (std::string line; std::getline(names, line);) listed.insert(line);
    ASSERT_TRUE(listed.contains("xterm") && listed.contains("solarized-dark")) << list.out;
    listed.insert("list");

    const std::string script = "cd " + shell_quoted(dir.path().string()) + " && source " +
                               shell_quoted(COMPLETION.string()) +
                               "; compopt() { return 0; }; COMP_WORDS=(vedad --theme = ''); COMP_CWORD=3; _vedad;"
                               " printf '%s\\n' \"${COMPREPLY[@]}\"";
    const ShellResult result = run_shell("bash -c " + shell_quoted(script));
    ASSERT_EQ(result.status, 0) << result.out;
    Names replies;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) replies.insert(line);
    }
    EXPECT_EQ(replies, listed);
}
