// --jobs=N: the files of a run converted on several threads give the serial run's pictures,
// names, numbering and standard error, in operand order, and end where it ends.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

namespace fs = std::filesystem;

// Every file under `directory`, by path, with its bytes ("<dir>" for a folder).
std::map<std::string, std::string> tree(const fs::path& directory)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        const std::string name = fs::relative(entry.path(), directory).string();
        files[name] = entry.is_directory() ? "<dir>" : read_file(entry.path());
    }
    return files;
}

struct FolderRun {
    RunResult result;
    std::map<std::string, std::string> files;
};

// Makes `files` in a fresh folder and runs `arguments` there.
FolderRun run_in_fresh_folder(const std::map<std::string, std::string>& files, const std::vector<std::string>& arguments,
                        const std::string& input)
{
    TempDir dir;
    for (const auto& [name, contents] : files) {
        if (name.back() == '/') {
            fs::create_directories(dir / name);
            continue;
        }
        fs::create_directories((dir / name).parent_path());
        write_file(dir / name, contents);
    }
    FolderRun run{run_vedad(dir.path(), arguments, input), {}};
    run.files = tree(dir.path());
    return run;
}

// `count` numbered lines.
std::string lines(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += "line ";
        text += std::to_string(i);
        text += '\n';
    }
    return text;
}

// A recording of `events` lines of output on a 40 x 10 terminal.
std::string recording(int events)
{
    std::string cast = "{\"version\": 2, \"width\": 40, \"height\": 10}\n";
    for (int i = 0; i < events; ++i) {
        cast += '[';
        cast += std::to_string(i * 0.05);
        cast += ", \"o\", \"line ";
        cast += std::to_string(i);
        cast += "\\r\\n\"]\n";
    }
    return cast;
}

std::string ansi(const std::string& sgr, const std::string& text)
{
    return "\x1b[" + sgr + "m" + text + "\x1b[0m";
}

}  // namespace

TEST(Jobs, FourThreadsGiveTheSerialRun)
{
    const std::string long_row(200, 'x');
    const std::map<std::string, std::string> small{
        {"a.txt", "first file\n"},       {"sub/a.txt", "same name\n"}, {"b.txt", "b\tc\n"},
        {"c.txt", "c\n"},                {"d.txt", "d\nd\nd\n"},       {"e.txt", ""},
        {"f.txt", "f " + long_row + "\n"}, {"g.txt", "g\n"},
    };
    auto with = [&](std::map<std::string, std::string> extra) {
        std::map<std::string, std::string> files = small;
        files.merge(extra);
        return files;
    };
    const std::vector<std::string> all{"a.txt", "sub/a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt", "g.txt"};
    auto operands = [&](std::vector<std::string> options, const std::vector<std::string>& files) {
        options.insert(options.end(), files.begin(), files.end());
        return options;
    };
    const struct {
        const char* what;
        std::map<std::string, std::string> files;
        std::vector<std::string> arguments;
        std::string input;
    } cases[] = {
        {"names and warnings", small, operands({"-v"}, all), ""},
        // Taken names are numbered around, the same name twice in a run too.
        {"numbering", with({{"a.png", "x"}, {"a2.png", "x"}, {"c.png", "x"}, {"sub2.png/", ""}}),
         operands({"-v"}, all), ""},
        {"one output name", with({{"out.png", "x"}}), operands({"--output=out.png"}, all), ""},
        {"an output folder", small, operands({"--output=pictures/"}, all), ""},
        {"an output folder there already", with({{"pictures/", ""}, {"pictures/a.png", "x"}}),
         operands({"-v", "--output=pictures"}, all), ""},
        {"overwriting", with({{"a.png", "x"}}), operands({"--overwrite", "--output=a.png"}, all), ""},
        // A file that cannot be opened ends the run there: the files before it are written,
        // none after it.
        {"a missing file", small, {"-v", "a.txt", "b.txt", "c.txt", "missing.txt", "d.txt", "e.txt", "f.txt"}, ""},
        // A folder opens and fails when read, after it is drawn from.
        {"a file that fails when read", with({{"folder.txt/", ""}}),
         {"a.txt", "b.txt", "folder.txt", "c.txt", "d.txt", "e.txt"}, ""},
        // A failure while its picture is written, after the files before it were.
        {"a failure while writing", with({{"c.png/", ""}}), operands({"-v", "--overwrite"}, all), ""},
        {"the first file fails", small, operands({}, {"missing.txt", "a.txt", "b.txt", "c.txt"}), ""},
        {"the last file fails", small, operands({}, {"a.txt", "b.txt", "c.txt", "missing.txt"}), ""},
        {"split pages", with({{"long.txt", "1\n2\n3\n4\n5\n"}, {"long-2.png", "x"}}),
         operands({"--split=2"}, {"long.txt", "a.txt", "long.txt", "d.txt", "b.txt"}), ""},
        // A file of more pages than wait for their turn writes the rest as it makes them.
        {"many pages", with({{"long.txt", lines(21)}, {"long-4.png", "x"}}),
         operands({"-v", "--split=2"}, {"a.txt", "long.txt", "b.txt", "long.txt", "c.txt"}), ""},
        {"a page failing after pages written", with({{"long.txt", lines(21)}, {"long-7.png/", ""}}),
         operands({"-v", "--overwrite", "--split=2"}, {"a.txt", "long.txt", "b.txt"}), ""},
        {"standard input among files", small, operands({"-v"}, {"a.txt", "-", "b.txt", "c.txt"}), "from the pipe\n"},
        // Told once in a run: the font, the styled faces, the fallback faces.
        {"fonts told once",
         with({{"h.txt", ansi("1", "bold") + "\n"},
               {"i.txt", "\xe1\x88\x80 " + ansi("3", "it") + "\n"},
               {"j.txt", ansi("1", "b") + "\xe1\x88\x80\n"}}),
         operands({"-v", "--ansi-input", "--font=DejaVuSansMono"}, {"a.txt", "h.txt", "i.txt", "j.txt", "b.txt"}), ""},
        {"span HTML warnings", with({{"h.html", "not html\n"}, {"s.html", span_page({"ab", "cd"})}}),
         operands({"--html-input"}, {"h.html", "s.html", "a.txt", "h.html"}), ""},
        {"a fit page and a cut page", small, operands({"--fit", "--size=60x40"}, all), ""},
        // Recordings claim their names in turn too: the long first one is named first.
        {"recordings of one name",
         with({{"r1/rec.cast", recording(400)}, {"r2/rec.cast", recording(1)}, {"r3/rec.cast", recording(2)}}),
         operands({"-v", "--asciicast"}, {"r1/rec.cast", "r2/rec.cast", "r3/rec.cast"}), ""},
        {"animations of one name", with({{"r1/rec.cast", recording(400)}, {"r2/rec.cast", recording(1)}}),
         operands({"--asciicast", "--type=gif"}, {"r1/rec.cast", "r2/rec.cast", "r1/rec.cast"}), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> serial = c.arguments;
        serial.insert(serial.begin(), "--jobs=1");
        std::vector<std::string> parallel = c.arguments;
        parallel.insert(parallel.begin(), "--jobs=4");
        const FolderRun one = run_in_fresh_folder(c.files, serial, c.input);
        const FolderRun four = run_in_fresh_folder(c.files, parallel, c.input);
        EXPECT_EQ(four.result.status, one.result.status);
        EXPECT_EQ(four.result.err, one.result.err);
        EXPECT_EQ(four.files.size(), one.files.size());
        for (const auto& [name, contents] : one.files) {
            const auto found = four.files.find(name);
            if (found == four.files.end()) {
                ADD_FAILURE() << name << " is missing";
                continue;
            }
            EXPECT_TRUE(found->second == contents) << name << " differs";
        }
        for (const auto& [name, contents] : four.files) {
            if (one.files.count(name) == 0) ADD_FAILURE() << name << " was not made by the serial run";
        }
    }
}

// Many files over every thread, numbered around a taken name each time: nothing is lost or
// written twice.
TEST(Jobs, ManyFilesOfOneNameAreNumberedInOperandOrder)
{
    TempDir dir;
    std::vector<std::string> arguments{"--jobs=0"};
    for (int i = 0; i < 40; ++i) {
        const std::string folder = "in" + std::to_string(i);
        fs::create_directories(dir / folder);
        write_file(dir / folder / "page.txt", "page " + std::to_string(i) + "\n");
        arguments.push_back(folder + "/page.txt");
    }
    write_file(dir / "page5.png", "taken");
    const RunResult result = run_vedad(dir.path(), arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    std::string expected_err;
    std::vector<int> numbers;
    for (int number = 1; numbers.size() < 40; ++number) {
        if (number != 5) numbers.push_back(number);
    }
    for (size_t i = 0; i < numbers.size(); ++i) {
        const std::string name = numbers[i] == 1 ? "page.png" : "page" + std::to_string(numbers[i]) + ".png";
        expected_err += "writing " + name + "\n";
        const FolderRun alone = run_in_fresh_folder({{"page.txt", "page " + std::to_string(i) + "\n"}}, {"page.txt"}, "");
        EXPECT_TRUE(read_file(dir / name) == alone.files.at("page.png")) << name;
    }
    EXPECT_EQ(result.err, expected_err);
}

TEST(Jobs, RefusesANegativeOrHugeCount)
{
    TempDir dir;
    for (const char* value : {"--jobs=-1", "--jobs=1025", "--jobs=x"}) {
        const RunResult result = run_vedad(dir.path(), {value, "a.txt"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "error: --jobs= expects a whole number of threads from 0 to 1024, as in --jobs=4\n");
    }
}
