#include "shell/dialog_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

TEST(DialogTextsTest, AboutTextLayout) {
    const std::string text = aboutText({"Z:\\build\\docs\\index.html", false});
    {
        SCOPED_TRACE("three line breaks, then the version line");
        EXPECT_EQ(text.rfind("\r\n\r\n\r\nTarvo Search, version 1.0\r\n", 0), 0u) << text;
    }
    {
        SCOPED_TRACE("the closing paragraph names the Help item and the guide's address");
        EXPECT_NE(text.find("Help / Go to Online Documentation..."), std::string::npos);
        EXPECT_NE(text.find("\r\nZ:\\build\\docs\\index.html\r\n"), std::string::npos);
    }
    {
        SCOPED_TRACE("the guide built into the program names its temporary copy");
        const std::string copy = aboutText({"C:\\Temp\\TarvoSearch-guide.html", true});
        EXPECT_NE(copy.find("built into the program"), std::string::npos);
        EXPECT_NE(copy.find("\r\nC:\\Temp\\TarvoSearch-guide.html\r\n"), std::string::npos);
        EXPECT_EQ(text.find("built into the program"), std::string::npos);
    }
    {
        SCOPED_TRACE("it ends with a line break");
        ASSERT_GE(text.size(), 2u);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    }
}

}  // namespace
}  // namespace tarvo
