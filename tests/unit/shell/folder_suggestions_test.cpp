#include <gtest/gtest.h>

#include <algorithm>

#include "shell/folder_suggestions.h"
#include "support/temp_tree.h"

namespace tarvo {
namespace {

// The names in the folder the last entry names that begin with what follows its separator and go
// on past it, after the entries before; nothing while no folder is named.
TEST(FolderSuggestions, TheFoldersOfTheEntryTyped) {
    testing::TempTree tree;
    for (const char* file : {"Subway/a.txt", "submarine.txt", "sub/b.txt", "other/c.txt"})
        tree.write(file, "");
    const std::string folder = tree.path("");
    const std::string before = "C:\\src; ";
    const std::tuple<std::string, std::string, std::vector<std::string>> cases[] = {
        {before + folder + "su",
         before,
         {folder + "sub", folder + "submarine.txt", folder + "Subway"}},
        {before + folder + "SUB", before, {folder + "submarine.txt", folder + "Subway"}},
        {before + folder + "subw", before, {folder + "Subway"}},
        {before + folder + "x", before, {}},
        {folder,
         "",
         {folder + "other", folder + "sub", folder + "submarine.txt", folder + "Subway"}},
        {before + "sub", "", {}},
        {before + tree.path("absent/"), before, {}}};
    FolderSuggester suggester;
    for (const auto& [text, kept, entries] : cases) {
        SCOPED_TRACE(text);
        FolderSuggestions offered = suggester.suggest(text);
        std::sort(offered.entries.begin(), offered.entries.end());
        std::vector<std::string> expected = entries;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(offered.entries, expected);
        EXPECT_EQ(offered.kept, kept);
    }
    // A file made after the listing is offered once the listing has been forgotten.
    suggester.suggest(folder + "s");
    tree.write("subtle.txt", "");
    EXPECT_EQ(suggester.suggest(folder + "subt").entries.size(), 0u);
    suggester.forget();
    EXPECT_EQ(suggester.suggest(folder + "subt").entries,
              std::vector<std::string>{folder + "subtle.txt"});
}

}  // namespace
}  // namespace tarvo
