#include "cli/help_text.hpp"

#include <cstring>
#include <string>

#include <gd.h>
#include <gtest/gtest.h>

#include "support/test_support.hpp"

using namespace vedad;

TEST(HelpText, UsageIsTheFixedTextBetweenNoticesAndAddresses)
{
    const std::string usage = usage_text();
    EXPECT_EQ(usage.rfind("\nUsage: vedad [ option(s) ] [ file(s) ]\n", 0), 0u);
    EXPECT_EQ(usage.find('\t'), std::string::npos);
    EXPECT_EQ(usage.find(" \n"), std::string::npos);
    const std::string ending = "vedad --background=ffff00 somefile.txt\n\n";
    EXPECT_EQ(usage.substr(usage.size() - ending.size()), ending);

    const std::string help = vedad_test::cli_fixture("help.txt");
    const std::string notices = "vedad " VEDAD_VERSION "\n"
                                "Copyright (C) 2026 the vedad developers\n"
                                "Free software under the MIT License; see the LICENSE file for details.\n";
    EXPECT_EQ(help, notices + usage +
                        "Project homepage on https://vedad.example.org/\n"
                        "Report bugs to <bugs@vedad.example.org>\n");
}

TEST(HelpText, GdVersionLineNamesTheMajorVersionBuiltAgainst)
{
    const std::string want = "gd version: " + std::to_string(GD_MAJOR_VERSION) + "\n";
    EXPECT_EQ(gd_version_text(), want);
}
