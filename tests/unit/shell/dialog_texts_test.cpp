#include "shell/dialog_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

// Three line breaks, the version line, then the paragraph that names the
// Help item and where the guide is, ending with a line break.
TEST(DialogTexts, AboutText) {
    for (const bool builtIn : {false, true}) {
        const std::string text = aboutText({"Z:\\docs\\guide.html", builtIn});
        EXPECT_EQ(text.rfind("\r\n\r\n\r\nTarvo Search, version 1.0\r\n", 0), 0u) << text;
        EXPECT_NE(text.find("Help / Go to Online Documentation..."), std::string::npos);
        EXPECT_EQ(text.find("built into the program") != std::string::npos, builtIn);
        EXPECT_TRUE(text.ends_with("\r\nZ:\\docs\\guide.html\r\n")) << text;
    }
}

}  // namespace
}  // namespace tarvo
