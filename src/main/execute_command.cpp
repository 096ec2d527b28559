#include "main/execute_command.hpp"

#include <cstdio>

#include "main/command_terminal.hpp"
#include "main/convert_file.hpp"

namespace vedad {

namespace {

constexpr std::string_view BLANKS = " \t\n";
constexpr char DELETE = 0x7f;

}  // namespace

std::string command_name(std::string_view command)
{
    const size_t start = command.find_first_not_of(BLANKS);
    if (start == std::string_view::npos) return {};
    const size_t end = command.find_first_of(BLANKS, start);
    return std::string(command.substr(start, end == std::string_view::npos ? end : end - start));
}

std::string prompt_row(std::string_view prompt, std::string_view command)
{
    std::string row(prompt);
    for (const char byte : command) {
        const auto code = static_cast<unsigned char>(byte);
        if (byte == '\n' || byte == '\t' || (code >= 0x20 && byte != DELETE)) {
            row += byte;
        } else {
            row += '^';
            row += static_cast<char>(code ^ 0x40);
        }
    }
    return row + "\r\n";
}

void convert_command(const Options& options, Canvas& canvas)
{
    // What the command prints is read as terminal output, wrapped as its terminal wraps it.
    Options terminal = options;
    terminal.input_form = InputForm::TERMINAL;
    if (terminal.columns == 0) terminal.columns = DEFAULT_TERMINAL_COLUMNS;

    if (options.verbose != 0) std::fprintf(stderr, "running %s\n", options.execute);
    CommandRun run;
    run.command = options.execute;
    run.timeout_seconds = options.timeout;
    run.verbose = options.verbose != 0;
    if (options.prompt != nullptr) run.preface = prompt_row(options.prompt, options.execute);
    start_command(run, TerminalSize{terminal.columns, options.rows});
    const std::string name = command_name(options.execute);
    convert_stream(terminal, canvas, InputStream{open_command_output(run), options.execute, name.c_str(), true});
}

}  // namespace vedad
