#include <gtest/gtest.h>

#include "engine/search_request.h"
#include "shell/path_entries.h"

namespace tarvo {
namespace {

// The picker starts at the last entry that is not blank; the entry typed starts after the last ";".
TEST(PathEntries, TheLastEntryAndTheEntryTyped) {
    const std::tuple<const char*, const char*, size_t> texts[] = {
        {"", "", 0},
        {"C:\\src", "C:\\src", 0},
        {"C:\\src; D:\\my dir ", "D:\\my dir", 8},
        {"C:\\src;D:\\x;;  ; ", "D:\\x", 17},
        {";", "", 1},
        {"  ", "", 2}};
    for (const auto& [text, last, typed] : texts) {
        EXPECT_EQ(lastPathEntry(text), last) << text;
        EXPECT_EQ(typedEntryStart(std::string_view(text)), typed) << text;
    }
    EXPECT_EQ(typedEntryStart(std::u16string_view(u"a; b")), 3u);
}

// The folder replaces the text, or follows it after one ";"; one that would not fit is refused.
TEST(PathEntries, AFolderChosenReplacesOrFollows) {
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"C:\\src", false, "D:\\new"},
        {"C:\\src", true, "C:\\src;D:\\new"},
        {"C:\\src; ", true, "C:\\src;D:\\new"},
        {"C:\\src;", true, "C:\\src;D:\\new"},
        {"  ", true, "D:\\new"},
        {"", true, "D:\\new"}};
    for (const auto& [text, append, result] : cases)
        EXPECT_EQ(pathWithFolder(text, "D:\\new", append), result) << text << " " << append;
    const std::string full(kMaxTextLength - 7, 'p');
    EXPECT_EQ(pathWithFolder(full, "D:\\new", true), full + ";D:\\new");
    EXPECT_EQ(pathWithFolder(full + "p", "D:\\new", true), std::nullopt);
    EXPECT_EQ(pathWithFolder(full + "p", "D:\\new", false), "D:\\new");
}

}  // namespace
}  // namespace tarvo
