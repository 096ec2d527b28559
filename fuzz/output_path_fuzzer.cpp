// Chooses output paths for an operand and an --output= text taken from the input, in a
// scratch directory that holds files, numbered names, directories, a FIFO and broken links.
// Only the choice is made; nothing is written.
// The first byte gives the flags: bit 0 --overwrite, bit 1 --verbose. The rest is the operand,
// then a NUL byte, then the output text (empty when there is no NUL byte).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "base/options.hpp"
#include "fuzz_support.hpp"
#include "output/output_path.hpp"

namespace fs = std::filesystem;

namespace {

fs::path scratch;

void remove_scratch()
{
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
}

void make_scratch()
{
    std::string pattern = (fs::temp_directory_path() / "vedad-fuzz-names-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    scratch = pattern;
    std::atexit(remove_scratch);
    for (const char* name : {"a.txt", "a.png", "a2.png", "a3.png", "pic", "pic2.png", "README.png", ".png",
                             "out/a.png", "out.d/README.png", "sub/a.txt", "sub/.png"}) {
        fs::create_directories((scratch / name).parent_path());
        std::ofstream(scratch / name) << "old";
    }
    fs::create_directories(scratch / "a4.png");  // a numbered name taken by a directory
    fs::create_symlink("loop", scratch / "loop");
    fs::create_symlink("missing", scratch / "dangling");
    fs::create_symlink("a.png", scratch / "link.png");
    if (mkfifo((scratch / "fifo").c_str(), 0600) != 0) std::abort();
    if (chdir(scratch.c_str()) != 0) std::abort();
}

struct Naming {
    vedad::Options options;
    std::string operand;
    std::string output;
    vedad::OutputPath chosen;
    bool chosen_at_all = false;
};

void name_output(void* context)
{
    Naming& naming = *static_cast<Naming*>(context);
    naming.chosen = vedad::make_output_path(naming.options, naming.operand.c_str());
    naming.chosen_at_all = true;
}

bool ends_with_png(const std::string& text)
{
    return text.size() >= 4 && text.compare(text.size() - 4, 4, ".png") == 0;
}

// What every chosen path must satisfy.
bool holds(const Naming& naming)
{
    if (!naming.chosen_at_all) return false;
    const std::string& path = naming.chosen.path;
    const std::string& output = naming.output;
    const vedad::OutputMode mode = naming.chosen.mode;
    if (path.size() > vedad::OUTPUT_NAME_INPUT_LIMIT + 8) return false;
    // Without --overwrite a new name is never one that any entry has.
    if (mode == vedad::OutputMode::claim && vedad::has_entry(path.c_str())) return false;
    if (naming.options.overwrite == 0 && mode == vedad::OutputMode::replace) return false;
    // --output=- sends the picture to standard output, whatever is named "-" here.
    if (output == "-") return mode == vedad::OutputMode::standard_output && path == vedad::STANDARD_OUTPUT_NAME;
    // The operand's directories never reach the name, so with no --output= it stays here.
    if (output.empty()) return path.find('/') == std::string::npos && ends_with_png(path);
    // A directory, existing or (ending in '/') still to be made, holds the picture.
    if (vedad::names_directory(output.c_str())) return path.starts_with(output) && ends_with_png(path);
    // An --output= name is used as it is unless something has it and it is to be numbered.
    if (mode == vedad::OutputMode::claim && vedad::has_entry(output.c_str())) return ends_with_png(path);
    return path == output;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    vedad_fuzz::initialize(argc, argv);
    make_scratch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    Naming naming;
    vedad::set_default_options(naming.options);
    naming.options.overwrite = data[0] & 1;
    naming.options.verbose = (data[0] >> 1) & 1;
    const char* rest = reinterpret_cast<const char*>(data + 1);
    const size_t rest_size = size - 1;
    const void* nul = std::memchr(rest, '\0', rest_size);
    const size_t operand_size = nul == nullptr ? rest_size : static_cast<size_t>(static_cast<const char*>(nul) - rest);
    naming.operand.assign(rest, operand_size);
    if (nul != nullptr) {
        // The output text ends at the next NUL byte, as an argument would.
        naming.output.assign(rest + operand_size + 1, rest_size - operand_size - 1);
        naming.output.resize(std::strlen(naming.output.c_str()));
    }
    naming.options.output = naming.output.c_str();

    const int status = vedad_fuzz::run_trapping_exit(name_output, &naming);
    if (status == -1 ? !holds(naming) : status != 1) __builtin_trap();
    return 0;
}
