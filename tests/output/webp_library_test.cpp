// libwebp is loaded when the first WebP is written: every function it needs is found, and a
// library that cannot be loaded says why.

#include <gtest/gtest.h>

#include <string>

#include "output/webp_library.hpp"

TEST(WebpLibrary, FindsEveryFunctionOrSaysWhyNot)
{
    vedad::WebpFunctions functions;
    std::string error;
    ASSERT_TRUE(vedad::webp_load(functions, vedad::WEBP_LIBRARY, vedad::WEBPMUX_LIBRARY, error)) << error;
    EXPECT_NE(functions.config_init, nullptr);
    EXPECT_NE(functions.animation_delete, nullptr);
    ASSERT_NE(vedad::webp_functions(), nullptr);
    EXPECT_STREQ(vedad::webp_failure(), "the WebP could not be encoded");

    const struct {
        const char* webp;
        const char* mux;
    } missing[] = {{"libwebp-missing.so.7", vedad::WEBPMUX_LIBRARY}, {vedad::WEBP_LIBRARY, "libwebpmux-missing.so.3"}};
    for (const auto& libraries : missing) {
        error.clear();
        EXPECT_FALSE(vedad::webp_load(functions, libraries.webp, libraries.mux, error));
        EXPECT_NE(error.find("missing"), std::string::npos) << error;
        EXPECT_EQ(functions.encode, nullptr);
    }
}
