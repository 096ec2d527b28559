#include "output/announce_output.hpp"

#include <cerrno>
#include <cstdio>

#include "base/fail.hpp"
#include "base/messages.hpp"
#include "output/output_path.hpp"

namespace vedad {

void announce_output(const Options& options, OutputPath& output)
{
    if (output.announced) return;
    output.announced = true;
    settle_claimed_name(output);
    if (options.verbose != 0 && output.number > 1)
        std::fprintf(messages(), "warning: %s exists, consider using --overwrite\n", output.first.c_str());
    std::fprintf(messages(), "writing %s\n", output.path.c_str());
}

void fail_opening_output(const Options& options, OutputPath& output, int error)
{
    announce_output(options, output);
    errno = error;
    fail_errno("could not open file for writing");
}

void fail_writing_output(const Options& options, OutputPath& output, const char* reason)
{
    announce_output(options, output);
    fail("could not write %s: %s", output.path.c_str(), reason);
}

}  // namespace vedad
