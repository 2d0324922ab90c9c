#include "shell/launching.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace tarvo {
namespace {

// Notepad gets the path as one quoted argument; the guide lies in "docs"
// beside the program (either slash a separator), else its copy in the
// temporary folder.
TEST(Launching, NotepadAndTheGuide) {
    EXPECT_EQ(notepadCommandLine("C:\\my src\\main file.c"),
              "notepad.exe \"C:\\my src\\main file.c\"");
    const std::pair<const char*, const char*> guides[] = {
        {"C:\\Program Files\\Tarvo\\TarvoSearch.exe", "C:\\Program Files\\Tarvo\\docs\\index.html"},
        {"Z:\\TarvoSearch.exe", "Z:\\docs\\index.html"},
        {"Z:/build/TarvoSearch.exe", "Z:/build/docs\\index.html"},
        {"TarvoSearch.exe", "docs\\index.html"},
        {"", "docs\\index.html"}};
    for (const auto& [exe, guide] : guides)
        EXPECT_EQ(documentationPath(exe), guide) << exe;

    const struct {
        bool besideExists;
        const char* tempFolder;
        const char* path;
        bool builtIn;
    } cases[] = {
        {true, "C:\\Temp\\", "C:\\Tarvo\\docs\\index.html", false},
        {false, "C:\\Temp\\", "C:\\Temp\\TarvoSearch-guide.html", true},
        {false, "C:\\Temp", "C:\\Temp\\TarvoSearch-guide.html", true},
        {false, "", "C:\\Tarvo\\docs\\index.html", false},
    };
    for (const auto& c : cases) {
        const UserGuide guide =
            userGuide("C:\\Tarvo\\TarvoSearch.exe", c.besideExists, c.tempFolder);
        EXPECT_EQ(guide.path, c.path) << c.tempFolder;
        EXPECT_EQ(guide.builtIn, c.builtIn) << c.tempFolder;
    }
}

}  // namespace
}  // namespace tarvo
