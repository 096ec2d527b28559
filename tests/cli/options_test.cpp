#include "cli/options.hpp"

#include <gtest/gtest.h>

using namespace vedad;

TEST(Options, DefaultsDescribeAPlainRun)
{
    Options options;
    options.width = -1;
    options.output = "junk";
    set_default_options(options);
    EXPECT_STREQ(options.output, "");
    EXPECT_EQ(options.html_input, 0);
    EXPECT_EQ(options.crop, 1);
    EXPECT_EQ(options.width, 640);
    EXPECT_EQ(options.height, 480);
    EXPECT_EQ(options.overwrite, 0);
    EXPECT_EQ(options.transparent, 0);
    EXPECT_EQ(options.silent, 0);
    EXPECT_EQ(options.verbose, 0);
    EXPECT_EQ(options.background.r + options.background.g + options.background.b, 0);
    EXPECT_EQ(options.foreground.r, 255);
    EXPECT_EQ(options.foreground.g, 255);
    EXPECT_EQ(options.foreground.b, 255);
}
