#include "output/output_path.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fail.hpp"
#include "base/standard_descriptors.hpp"
#include "output/picture_type.hpp"

namespace vedad {

namespace {

constexpr const char STDIN_BASE_NAME[] = "stdin";

void strip_extension_of(std::string& text)
{
    strip_extension(text.data());
    text.resize(std::strlen(text.c_str()));
}

// The name before numbering; `named_by_user` tells an --output= name that is no directory.
std::string first_choice(const Options& options, const char* base, bool& named_by_user)
{
    named_by_user = false;
    std::string path;
    if (options.output[0] == '\0') {
        path = base;
    } else if (names_directory(options.output)) {
        path = options.output;
        if (path.back() != '/') path += '/';
        path += base;
    } else {
        named_by_user = true;
        return options.output;
    }
    strip_extension_of(path);
    return path + picture_extension(picture_type(options));
}

// /dev/stdout, /dev/fd/1 and the like: a link to whatever standard output is open on.
bool leads_to_standard_output(const char* path)
{
    struct stat link, target, out;
    return lstat(path, &link) == 0 && S_ISLNK(link.st_mode) && stat(path, &target) == 0 &&
           fstat(STDOUT_FILENO, &out) == 0 && target.st_dev == out.st_dev && target.st_ino == out.st_ino;
}

// A device, FIFO or socket: something to write to, not a file to make or replace.
bool is_device_or_fifo(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

}  // namespace

std::string directory_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

const char* basename(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash == nullptr ? path : slash + 1;
}

void strip_extension(char* text)
{
    char* last_component = text + (basename(text) - text);
    char* dot = std::strrchr(last_component, '.');
    if (dot != nullptr) *dot = '\0';
}

bool is_directory(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool names_directory(const char* output)
{
    const size_t length = std::strlen(output);
    return (length > 0 && output[length - 1] == '/') || is_directory(output);
}

void make_output_directory(const Options& options)
{
    const size_t length = std::strlen(options.output);
    if (length == 0 || options.output[length - 1] != '/' || is_directory(options.output)) return;
    std::error_code error;
    std::filesystem::create_directories(options.output, error);
    if (error || !is_directory(options.output))
        fail("could not make the directory %s: %s", options.output,
             error ? error.message().c_str() : std::strerror(ENOTDIR));
}

bool writes_to_standard_output(const Options& options)
{
    return std::strcmp(options.output, "-") == 0;
}

bool has_entry(const char* path)
{
    struct stat info;
    return lstat(path, &info) == 0;
}

OutputPath make_output_path(const Options& options, const char* operand, bool look_now)
{
    if (std::strlen(operand) + std::strlen(options.output) > OUTPUT_NAME_INPUT_LIMIT)
        fail("not enough  memory for output filename");

    OutputPath output;
    if (writes_to_standard_output(options)) {
        output.first = output.path = STANDARD_OUTPUT_NAME;
        output.mode = OutputMode::standard_output;
        return output;
    }
    const char* base = std::strcmp(operand, "-") == 0 ? STDIN_BASE_NAME : basename(operand);
    bool named_by_user = false;
    output.extension = picture_extension(picture_type(options));
    output.first = first_choice(options, base, named_by_user);
    output.path = output.first;
    if (named_by_user && leads_to_standard_output(output.path.c_str())) {
        // As for --output=-.
        if (standard_output_was_closed()) fail("standard output is closed");
        if (isatty(STDOUT_FILENO)) fail("refusing to write a PNG to a terminal");
        output.mode = OutputMode::standard_output;
    } else if (named_by_user && is_device_or_fifo(output.path.c_str())) {
        output.mode = OutputMode::as_is;
    } else if (options.overwrite != 0) {
        output.mode = OutputMode::replace;
    } else {
        output.unsettled = true;
        if (look_now) settle_claimed_name(output);
    }
    return output;
}

namespace {

// `name` with "-PAGE" before the extension of its last component.
std::string with_page_number(std::string name, int64_t page)
{
    const size_t slash = name.rfind('/');
    const size_t dot = name.rfind('.');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const size_t at = dot != std::string::npos && dot > start ? dot : name.size();
    std::string number = "-";
    number += std::to_string(page);
    name.insert(at, number);
    return name;
}

}  // namespace

std::string claiming_directory(const Options& options, const char* operand)
{
    if (options.overwrite != 0 || writes_to_standard_output(options)) return {};
    if (std::strlen(operand) + std::strlen(options.output) > OUTPUT_NAME_INPUT_LIMIT) return {};
    bool named_by_user = false;
    const std::string path =
        first_choice(options, std::strcmp(operand, "-") == 0 ? STDIN_BASE_NAME : basename(operand), named_by_user);
    if (named_by_user) return {};
    return directory_of(path);
}

OutputPath make_page_output_path(const Options& options, const char* operand, int64_t page, bool look_now)
{
    const OutputPath whole = make_output_path(options, operand, look_now);
    if (page <= 1 || whole.mode == OutputMode::as_is) return whole;
    if (whole.mode == OutputMode::standard_output) fail("--split= made a second page, and standard output takes one picture");
    Options paged = options;
    std::string output;
    std::string operand_name;
    bool named_by_user = false;
    first_choice(options, "x", named_by_user);
    if (named_by_user) {
        output = with_page_number(options.output, page);
        paged.output = output.c_str();
        return make_output_path(paged, operand, look_now);
    }
    operand_name = with_page_number(std::strcmp(operand, "-") == 0 ? STDIN_BASE_NAME : basename(operand), page);
    return make_output_path(options, operand_name.c_str(), look_now);
}

void settle_claimed_name(OutputPath& output)
{
    if (!output.unsettled) return;
    output.unsettled = false;
    if (has_entry(output.path.c_str())) take_next_number(output);
}

void take_next_number(OutputPath& output)
{
    output.unsettled = false;
    std::string stem = output.first;
    strip_extension_of(stem);
    for (int number = output.number < FIRST_NUMBER ? FIRST_NUMBER : output.number + 1;; ++number) {
        if (number == GIVE_UP_NUMBER) {
            fail("you already have about %d files already with that output name, try using "
                 "--overwrite",
                 GIVE_UP_NUMBER);
        }
        std::string candidate = stem + std::to_string(number) + output.extension;
        if (!has_entry(candidate.c_str())) {
            output.path = std::move(candidate);
            output.number = number;
            return;
        }
    }
}

}  // namespace vedad
