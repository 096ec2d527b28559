#include "cli/check_options.hpp"
#include "base/standard_descriptors.hpp"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/messages.hpp"

#include "support/test_support.hpp"

using namespace vedad;

namespace {

struct Records {
    Options options;
    Records(int32_t width, int32_t height, double font_size)
    {
        set_default_options(options);
        options.width = width;
        options.height = height;
        options.drawing.font_size = font_size;
    }
};

constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
constexpr double INFINITE = std::numeric_limits<double>::infinity();

}  // namespace

// A check that fails ends the process, so even the passing ones run in a child.
TEST(CheckOptionsDeathTest, PassesPositiveSizesAndFontSizesFromTheThreshold)
{
    const struct {
        int32_t width;
        int32_t height;
        double font_size;
    } cases[] = {
        {640, 480, 0.025},
        {1, 1, 0.0001},
        {INT32_MAX, INT32_MAX, FONT_SIZE_THRESHOLD},
        {640, 480, 9.99999974737875163555145263671875e-05},
        {640, 480, NOT_A_NUMBER},
        {640, 480, INFINITE},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.font_size);
        Records records(test.width, test.height, test.font_size);
        EXPECT_EXIT(
            {
                check_options(records.options, 1);
                std::_Exit(0);
            },
            testing::ExitedWithCode(0), "^$");
    }
}

TEST(CheckOptionsDeathTest, RefusesInOrderOperandsSizeFontSize)
{
    const struct {
        int32_t operands;
        int32_t width;
        int32_t height;
        double font_size;
        std::string message;
    } cases[] = {
        // The missing operand is reported first, with the help text.
        {0, 640, 480, 0.025, "^error: no input files specified\n\n" + vedad_test::VERSION_LINE_PATTERN},
        {0, 0, 480, 0.0, "^error: no input files specified\n\n" + vedad_test::VERSION_LINE_PATTERN},
        {1, 0, 480, 0.0, "^error: invalid output dimensions\n$"},
        {1, 640, -1, 0.025, "^error: invalid output dimensions\n$"},
        {1, 0, 0, 0.025, "^error: invalid output dimensions\n$"},
        {1, INT32_MIN, 480, 0.025, "^error: invalid output dimensions\n$"},
        {1, 640, 480, 0.0, "^error: too small font size 0\\.000000\n$"},
        {1, 640, 480, 0.00005, "^error: too small font size 0\\.000050\n$"},
        {1, 640, 480, -1.0, "^error: too small font size -1\\.000000\n$"},
        // Just below the single-precision threshold, though it prints as 0.0001.
        {1, 640, 480, 9.9999997e-05, "^error: too small font size 0\\.000100\n$"},
        {1, 640, 480, -INFINITE, "^error: too small font size -inf\n$"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.message);
        Records records(test.width, test.height, test.font_size);
        EXPECT_EXIT(check_options(records.options, test.operands), testing::ExitedWithCode(1),
                    test.message);
    }
}

TEST(CheckOptionsDeathTest, SilentDropsVerboseAndEveryLaterMessage)
{
    Records passing(640, 480, 0.025);
    passing.options.silent = 1;
    passing.options.verbose = 1;
    EXPECT_EXIT(
        {
            check_options(passing.options, 1);
            std::fprintf(stderr, "after the checks\n");
            std::_Exit(passing.options.verbose == 0 ? 0 : 2);
        },
        testing::ExitedWithCode(0), "^$");

    Records failing(0, 480, 0.025);
    failing.options.silent = 1;
    EXPECT_EXIT(check_options(failing.options, 0), testing::ExitedWithCode(1), "^$");
    EXPECT_EXIT(check_options(failing.options, 1), testing::ExitedWithCode(1), "^$");
}

namespace {

// Silences standard error, then opens a file: it must not get descriptor 2, and what is
// written to standard error afterwards must reach neither it nor the earlier target.
[[noreturn]] void silence_then_open_a_file(const std::filesystem::path& directory, bool close_first)
{
    const std::string earlier = (directory / "earlier").string();
    const std::string later = (directory / "later").string();
    if (close_first) {
        close(STDERR_FILENO);
    } else {
        int target = open(earlier.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(target, STDERR_FILENO);
        close(target);
    }
    silence_standard_error();
    FILE* file = std::fopen(later.c_str(), "wb");
    if (file == nullptr) std::_Exit(3);
    std::fprintf(stderr, "message\n");
    const bool took_descriptor = fileno(file) == STDERR_FILENO;
    std::fclose(file);
    const bool leaked = !vedad_test::read_file(later).empty() || !vedad_test::read_file(earlier).empty();
    // The death test's child made this directory itself and ends without running destructors.
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
    std::_Exit(took_descriptor ? 4 : leaked ? 5 : 0);
}

}  // namespace

TEST(SilenceStandardErrorDeathTest, KeepsDescriptorTwoTaken)
{
    vedad_test::TempDir directory;
    EXPECT_EXIT(silence_then_open_a_file(directory.path(), false), testing::ExitedWithCode(0), "");
    // A process started without descriptor 2.
    EXPECT_EXIT(silence_then_open_a_file(directory.path(), true), testing::ExitedWithCode(0), "");
}

TEST(CheckOptionsDeathTest, TakesAContrastRatioFromOneToTwentyOne)
{
    for (const double ratio : {1.0, 1.5, 4.5, 7.0, 21.0}) {
        SCOPED_TRACE(ratio);
        Records records(640, 480, 0.025);
        records.options.drawing.min_contrast = ratio;
        EXPECT_EXIT(
            {
                check_options(records.options, 1);
                std::_Exit(0);
            },
            testing::ExitedWithCode(0), "^$");
    }
    for (const double ratio : {0.0, 0.999, -4.5, 21.001, 100.0, NOT_A_NUMBER, INFINITE}) {
        SCOPED_TRACE(ratio);
        Records records(640, 480, 0.025);
        records.options.drawing.min_contrast = ratio;
        EXPECT_EXIT(check_options(records.options, 1), testing::ExitedWithCode(1),
                    "^error: --min-contrast= expects a contrast ratio from 1 to 21, as in --min-contrast=4\\.5\n$");
    }
}
