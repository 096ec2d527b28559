#include "support/test_support.hpp"

using namespace vedad_test;

TEST(Smoke, ConvertsTextFileToCroppedPng)
{
    TempDir dir;
    write_file(dir / "notes.txt", "abc\n");
    RunResult result = run_vedad(dir.path(), {"notes.txt"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "writing notes.png\n");
    Image image = read_png(dir / "notes.png");
    ASSERT_NE(image, nullptr);
    EXPECT_LT(gdImageSX(image.get()), 640);
    EXPECT_FALSE(png_has_alpha(dir / "notes.png"));
}
