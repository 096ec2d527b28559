#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string answers_folder;

void remove_answers_folder()
{
    std::error_code ignored;
    std::filesystem::remove_all(answers_folder, ignored);
}

}  // namespace

// Every test draws with the test font directory, whatever fonts the machine has: libgd looks
// there, and fontconfig knows no other. The answers fontconfig gives are kept for this test's
// runs alone, not for the user's.
int main(int argc, char** argv)
{
    setenv("GDFONTPATH", VEDAD_TEST_FONT_DIR, 1);
    setenv("FONTCONFIG_FILE", VEDAD_TEST_FONTCONFIG, 1);
    std::string folder = (std::filesystem::temp_directory_path() / "vedad-test-cache-XXXXXX").string();
    if (mkdtemp(folder.data()) != nullptr) {
        answers_folder = folder;
        setenv("XDG_CACHE_HOME", folder.c_str(), 1);
        std::atexit(remove_answers_folder);
    }
    testing::InitGoogleTest(&argc, argv);
    testing::GTEST_FLAG(death_test_style) = "threadsafe";
    return RUN_ALL_TESTS();
}
