#include "output/output_path.hpp"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "base/fail.hpp"

namespace vedad {

namespace {

constexpr const char STDIN_BASE_NAME[] = "stdin";
constexpr const char PNG_EXTENSION[] = ".png";

void strip_extension_of(std::string& text)
{
    strip_extension(text.data());
    text.resize(std::strlen(text.c_str()));
}

std::string first_choice(const Options& options, const char* base)
{
    std::string path;
    if (options.output[0] == '\0') {
        path = base;
    } else if (is_directory(options.output)) {
        path = options.output;
        if (path.back() != '/') path += '/';
        path += base;
    } else {
        return options.output;
    }
    strip_extension_of(path);
    return path + PNG_EXTENSION;
}

}  // namespace

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

bool is_regular_file(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

const char* make_output_path(const Options& options, const char* operand)
{
    static std::string output_path;

    if (std::strlen(operand) + std::strlen(options.output) > OUTPUT_NAME_INPUT_LIMIT)
        fail("not enough  memory for output filename");

    const char* base = std::strcmp(operand, "-") == 0 ? STDIN_BASE_NAME : basename(operand);
    output_path = first_choice(options, base);
    if (options.overwrite != 0 || !is_regular_file(output_path.c_str())) return output_path.c_str();

    std::string stem = output_path;
    strip_extension_of(stem);
    for (int number = FIRST_NUMBER;; ++number) {
        if (number == GIVE_UP_NUMBER) {
            fail("you already have about %d files already with that output name, try using "
                 "--overwrite",
                 GIVE_UP_NUMBER);
        }
        std::string candidate = stem + std::to_string(number) + PNG_EXTENSION;
        if (!is_regular_file(candidate.c_str())) {
            if (options.verbose != 0)
                std::fprintf(stderr, "warning: %s exists, consider using --overwrite\n", output_path.c_str());
            output_path = std::move(candidate);
            return output_path.c_str();
        }
    }
}

}  // namespace vedad
