#include "preview/keyword_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tarvo {
namespace {

// The table's 75 entries, 14 of them directives, each found by isKeyword;
// a token is its bytes up to `length` or a zero byte, compared with case.
TEST(KeywordTable, EntriesAndLookUp) {
    const std::set<std::string_view> distinct(kKeywordTable.begin(), kKeywordTable.end());
    EXPECT_EQ(distinct.size(), 75u);
    int directives = 0;
    for (std::string_view entry : kKeywordTable) {
        EXPECT_LE(entry.size(), static_cast<size_t>(kMaxKeywordLength)) << entry;
        EXPECT_TRUE(isKeyword(entry.data(), static_cast<int32_t>(entry.size()))) << entry;
        directives += entry.front() == '#';
    }
    EXPECT_EQ(directives, 14);
    const struct {
        const char* token;
        int32_t length;
        bool keyword;
    } cases[] = {{"INT", 3, false},       {"int2", 4, false},   {"_int", 4, false},
                 {"protected", 9, false}, {"inline", 6, false}, {"include", 7, false},
                 {"#", 1, false},         {"return;", 6, true}, {"in\0t", 4, false},
                 {"int\0x", 5, true},     {"int", -1, false}};
    for (const auto& c : cases)
        EXPECT_EQ(isKeyword(c.token, c.length), c.keyword) << c.token << "/" << c.length;
}

}  // namespace
}  // namespace tarvo
