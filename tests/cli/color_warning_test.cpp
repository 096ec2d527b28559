#include "cli/color_warning.hpp"

#include <gtest/gtest.h>

using namespace vedad;

TEST(ColorWarning, NamesWhatAHashOrUpperCaseColourReadsAs)
{
    const std::string because = ", since '#' and upper-case A to F count 0";
    const struct {
        const char* value;
        std::string want;  // after "warning: --foreground=" and the value
    } cases[] = {
        {"#ff8800", " is read as 0ff880" + because + " (write --foreground=ff8800)\n"},
        {"FF8800", " is read as 008800" + because + " (write --foreground=ff8800)\n"},
        {"  #AbCdEf  and more", " is read as 00b0d0" + because + " (write --foreground=abcdef)\n"},
        {"fffffF", " is read as fffff0" + because + " (write --foreground=ffffff)\n"},
        // Nothing to suggest when the digits do not make six.
        {"#FFF", " is read as 000000" + because + "\n"},
        {"#ff88zz", " is read as 0ff880" + because + "\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.value);
        EXPECT_EQ(color_warning("--foreground=", test.value), std::string("warning: --foreground=") + test.value + test.want);
    }
}

TEST(ColorWarning, SaysNothingOfWhatIsReadAsWritten)
{
    // Upper case past the sixth character is not read; other stray characters are no notation
    // of colours and count 0 as the manual says.
    for (const char* value : {"ffff00", "0b5394", "ffffffFF", "ff8800#", "zz0000", "   "}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(color_warning("--background=", value), "");
    }
    EXPECT_EQ(color_warning("--background=", nullptr), "");
}
