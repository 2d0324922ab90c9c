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

TEST(LaunchingTest, HelpOpensTheGuideBesideTheProgramElseItsBuiltInCopy) {
    const struct {
        const char* label;
        bool besideExists;
        const char* tempFolder;
        const char* path;
        bool builtIn;
    } cases[] = {
        {"the guide beside the program", true, "C:\\Temp\\", "C:\\Tarvo\\docs\\index.html", false},
        {"alone: the copy in the temporary folder", false, "C:\\Temp\\",
         "C:\\Temp\\TarvoSearch-guide.html", true},
        {"a temporary folder without its separator", false, "C:\\Temp",
         "C:\\Temp\\TarvoSearch-guide.html", true},
        {"no temporary folder: the guide beside, if anything", false, "",
         "C:\\Tarvo\\docs\\index.html", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const UserGuide guide =
            userGuide("C:\\Tarvo\\TarvoSearch.exe", c.besideExists, c.tempFolder);
        EXPECT_EQ(guide.path, c.path);
        EXPECT_EQ(guide.builtIn, c.builtIn);
    }
}

}  // namespace
}  // namespace tarvo
