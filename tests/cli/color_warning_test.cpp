#include "cli/color_warning.hpp"

#include <string>

#include <gtest/gtest.h>

using namespace vedad;

TEST(ColorWarning, SaysWhatAValueThatIsNotSixDigitsReadsAsAndWhy)
{
    const std::string not_digits = "characters other than hex digits count 0";
    const std::string missing = "missing digits count 0";
    const std::string first_six = "only the first six digits count";
    const std::string many_e(300, 'e');
    const struct {
        std::string value;
        std::string want;  // after "warning: --foreground=" and the value
    } cases[] = {
        {"#ff88zz", " is read as ff8800, since " + not_digits + "\n"},
        {"g0z9xy", " is read as 000900, since " + not_digits + "\n"},
        {"##ff880", " is read as 0ff880, since " + not_digits + "\n"},
        {"e", " is read as e00000, since " + missing + "\n"},
        {"#", " is read as 000000, since " + missing + "\n"},
        {"  a0 ff", " is read as a00000, since " + missing + "\n"},
        {"fff", " is read as fff000, since " + missing + " (write --foreground=ffffff for #fff)\n"},
        {"#F80", " is read as f80000, since " + missing + " (write --foreground=ff8800 for #F80)\n"},
        {"12345678", " is read as 123456, since " + first_six + "\n"},
        {"#ffffffFF", " is read as ffffff, since " + first_six + "\n"},
        {many_e, " is read as eeeeee, since " + first_six + "\n"},
        {"zz", " is read as 000000, since " + not_digits + " and " + missing + "\n"},
        {"ff8800#", " is read as ff8800, since " + first_six + "\n"},
        {"ff88z00", " is read as ff8800, since " + not_digits + " and " + first_six + "\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.value);
        EXPECT_EQ(color_warning("--foreground=", test.value.c_str()), "warning: --foreground=" + test.value + test.want);
    }
}

TEST(ColorWarning, SaysNothingOfSixDigitsAfterAnOptionalHash)
{
    for (const char* value : {"ffff00", "0b5394", "#1e1e1e", "1E1E1E", "#1E1E1E", "  #AbCdEf  and more", "   "}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(color_warning("--background=", value), "");
    }
    EXPECT_EQ(color_warning("--background=", nullptr), "");
}
