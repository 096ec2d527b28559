#include "cli/numbers.hpp"

#include <climits>
#include <string>

#include <gtest/gtest.h>

using namespace vedad;

TEST(ParseIntClamped, ReadsLikeAtoiButHoldsTo32Bits)
{
    const struct {
        const char* text;
        int32_t want;
    } cases[] = {
        {"12", 12},
        {" \t+7", 7},
        {"-5", -5},
        {"800px", 800},
        {"0x10", 0},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"- 5", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"99999999999999999999999999", INT32_MAX},
        {"-99999999999999999999999999", INT32_MIN},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        EXPECT_EQ(parse_int_clamped(test.text), test.want);
    }
}

TEST(ScanIntClamped, TellsWhetherANumberWasReadAndWhereItEnds)
{
    const struct {
        const char* text;
        bool read;
        int32_t want;
        const char* rest;
    } cases[] = {
        {"800x600", true, 800, "x600"},
        {" -3x", true, -3, "x"},
        {"99999999999x1", true, INT32_MAX, "x1"},
        {"x600", false, 0, ""},
        {"", false, 0, ""},
        {"+", false, 0, ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        int32_t value = 0;
        const char* end = nullptr;
        ASSERT_EQ(scan_int_clamped(test.text, value, end), test.read);
        if (!test.read) continue;
        EXPECT_EQ(value, test.want);
        EXPECT_EQ(std::string(end), test.rest);
    }
}

// The newer options take decimal digits alone, up to a bound; anything else, however long,
// reads as the invalid value and never overflows on the way.
TEST(ParseWholeNumber, TakesDigitsUpToTheBoundAndNothingElse)
{
    const struct {
        const char* text;
        int64_t most;
        int64_t want;
    } cases[] = {
        {"0", 8, 0},
        {"8", 8, 8},
        {"08", 8, 8},
        {"9", 8, -1},
        {"", 8, -1},
        {"+2", 8, -1},
        {"-2", 8, -1},
        {" 2", 8, -1},
        {"2 ", 8, -1},
        {"2.5", 8, -1},
        {"1e1", 100, -1},
        {"4611686018427387903", INT64_MAX / 2, INT64_MAX / 2},
        {"4611686018427387904", INT64_MAX / 2, -1},
        {"99999999999999999999999999", INT64_MAX / 2, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_whole_number(c.text, c.most, -1), c.want) << '"' << c.text << '"';
}
