#pragma once

#include <cstddef>
#include <string>

#include "base/options.hpp"

namespace vedad {

// The operand and --output= together may not exceed this; with '/', three digits and
// ".png" the longest path is then 5120 characters.
inline constexpr size_t OUTPUT_NAME_INPUT_LIMIT = 5112;
inline constexpr int FIRST_NUMBER = 2;
inline constexpr int GIVE_UP_NUMBER = 999;

// How the picture gets to its path.
enum class OutputMode {
    claim,            // a name nothing has yet: the first choice, or the lowest free number
    replace,          // --overwrite: whatever entry has the name is replaced
    as_is,            // an --output= device or FIFO, written as it is
    standard_output,  // --output=-, or a link to the file open on standard output (/dev/stdout)
};

struct OutputPath {
    std::string first;  // the name the rules give, before any number
    std::string path;   // the name to write; for a claim, the first one free when last looked
    OutputMode mode = OutputMode::claim;
    int number = 1;  // the number in `path`; 1 while it is `first`
    const char* extension = ".png";  // of the run's picture type: what numbered names end in
    bool announced = false;  // the "writing" line has been printed
    // A claimed name not yet looked at: linking the picture to it tells whether it is free,
    // and a message about it looks first.
    bool unsettled = false;
};

// Whether an --output= value names a directory: one that ends in '/', which need not exist
// yet, or an existing one.
bool names_directory(const char* output);

// Makes the directory an --output= value that ends in '/' names, with its parents, when it is
// missing; ends the run when it cannot be made.
void make_output_directory(const Options& options);

// Chooses where and how the picture of `operand` is written. Any directory entry at a name
// (file, directory, link whether dangling or not, FIFO, socket, device) makes it taken.
// Ends the run when the names are too long or every numbered name is taken. A claimed name
// is looked at now, or, without `look_now`, left unsettled for the writing to find free.
OutputPath make_output_path(const Options& options, const char* operand, bool look_now = true);

// Chooses where the picture of page `page` (from 1) of `operand` goes under --split=: the
// first page where the whole input's would, each later one under that name with "-PAGE"
// before its extension (a.png, a-2.png, ...), numbered like any name when taken. A device
// or FIFO named by --output= takes every page; standard output takes only one.
OutputPath make_page_output_path(const Options& options, const char* operand, int64_t page, bool look_now = true);

// The path of the directory where make_page_output_path would claim a name for `operand`'s
// pictures under a name of the run's choosing (a directory of --output=, or the current
// one); empty for any other output. Looks at nothing on disk but whether --output= is a
// directory.
std::string claiming_directory(const Options& options, const char* operand);

// Moves a claim on to the next numbered name that has no directory entry, after another
// run took the one it had. Ends the run when the numbers up to 998 are all taken.
void take_next_number(OutputPath& output);
// Looks whether an unsettled claimed name is free, and takes the next number if not.
void settle_claimed_name(OutputPath& output);

// --output=-: the picture of the single input goes to standard output, and the "writing"
// line names it so.
bool writes_to_standard_output(const Options& options);
inline constexpr const char STANDARD_OUTPUT_NAME[] = "(standard output)";

// The directory that holds `path`'s last component, as a path ("." when it has no '/').
std::string directory_of(const std::string& path);

// The part of `path` after its last '/' (all of it when there is none).
const char* basename(const char* path);

// Cuts `text` at the last '.' of its last component, if there is one.
void strip_extension(char* text);

bool is_directory(const char* path);

// Whether the directory holds an entry of that name, of any kind; links are not followed.
bool has_entry(const char* path);

}  // namespace vedad
