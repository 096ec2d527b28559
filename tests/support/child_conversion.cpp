#include "support/child_conversion.hpp"

#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "glyphs/glyph_path.hpp"
#include "cli/check_options.hpp"
#include "base/options.hpp"
#include "cli/parse_options.hpp"
#include "main/convert_file.hpp"
#include "support/test_support.hpp"

namespace vedad_test {

using namespace vedad;

ChildConversion convert_in_child(const std::vector<std::string>& arguments,
                                 const std::vector<std::pair<std::string, std::string>>& inputs,
                                 const std::vector<std::string>& outputs,
                                 const std::function<void(Canvas&)>& set_up)
{
    TempDir dir;
    for (const auto& [name, contents] : inputs) write_file(dir / name, contents);
    int counter[2];
    if (pipe(counter) != 0) return ChildConversion{};
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int err = open((dir / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err < 0 || dup2(err, STDERR_FILENO) < 0 || chdir(dir.path().c_str()) != 0) _exit(99);
        std::vector<std::string> words = {"vedad"};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);

        Options options;
        set_default_options(options);
        const int32_t count = static_cast<int32_t>(words.size());
        Operands operands;
        parse_options(count, argv.data(), options, operands);
        check_options(options, static_cast<int32_t>(operands.size()));
        Canvas canvas;
        canvas_init(canvas, options.drawing);
        set_up(canvas);
        for (const char* operand : operands) convert_file(options, canvas, operand);
        std::fflush(nullptr);
        const uint64_t handed = canvas.glyphs->seams.texts_to_libgd;
        if (write(counter[1], &handed, sizeof handed) != sizeof handed) _exit(98);
        _exit(0);
    }
    close(counter[1]);
    ChildConversion outcome;
    if (read(counter[0], &outcome.texts_to_libgd, sizeof outcome.texts_to_libgd) != sizeof outcome.texts_to_libgd) {
        outcome.texts_to_libgd = UINT64_MAX;
    }
    close(counter[0]);
    int status = 0;
    waitpid(child, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.err = read_file(dir / "err");
    for (const std::string& name : outputs) outcome.outputs.push_back(read_file(dir / name));
    return outcome;
}

}  // namespace vedad_test
