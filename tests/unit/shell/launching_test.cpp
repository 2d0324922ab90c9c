#include "shell/launching.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(LaunchingTest, NotepadGetsThePathAsOneQuotedArgument) {
    {
        SCOPED_TRACE("a path with spaces stays one argument");
        EXPECT_EQ(notepadCommandLine("C:\\my src\\main file.c"),
                  "notepad.exe \"C:\\my src\\main file.c\"");
    }
    {
        SCOPED_TRACE("a path without spaces is quoted as well");
        EXPECT_EQ(notepadCommandLine("Z:\\a.txt"), "notepad.exe \"Z:\\a.txt\"");
    }
}

TEST(LaunchingTest, GuideLiesInDocsBesideTheExecutable) {
    {
        SCOPED_TRACE("full path");
        EXPECT_EQ(documentationPath("C:\\Program Files\\Tarvo\\TarvoSearch.exe"),
                  "C:\\Program Files\\Tarvo\\docs\\index.html");
    }
    {
        SCOPED_TRACE("drive root");
        EXPECT_EQ(documentationPath("Z:\\TarvoSearch.exe"), "Z:\\docs\\index.html");
    }
    {
        SCOPED_TRACE("forward slashes count as separators");
        EXPECT_EQ(documentationPath("Z:/build/TarvoSearch.exe"), "Z:/build/docs\\index.html");
    }
    {
        SCOPED_TRACE("a bare name or nothing: relative to the current folder");
        EXPECT_EQ(documentationPath("TarvoSearch.exe"), "docs\\index.html");
        EXPECT_EQ(documentationPath(""), "docs\\index.html");
    }
}

}  // namespace
}  // namespace tarvo
