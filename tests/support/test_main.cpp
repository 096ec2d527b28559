#include <cstdlib>

#include <gtest/gtest.h>

// Every test draws with the test font directory, whatever fonts the machine has: libgd looks
// there, and fontconfig knows no other.
int main(int argc, char** argv)
{
    setenv("GDFONTPATH", VEDAD_TEST_FONT_DIR, 1);
    setenv("FONTCONFIG_FILE", VEDAD_TEST_FONTCONFIG, 1);
    testing::InitGoogleTest(&argc, argv);
    testing::GTEST_FLAG(death_test_style) = "threadsafe";
    return RUN_ALL_TESTS();
}
