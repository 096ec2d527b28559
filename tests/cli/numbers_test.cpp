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
