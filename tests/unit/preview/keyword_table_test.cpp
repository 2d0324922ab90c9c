#include "preview/keyword_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tarvo {
namespace {

TEST(KeywordTable, HoldsExactlyTheSeventyFiveEntries) {
    std::set<std::string_view> distinct(kKeywordTable.begin(), kKeywordTable.end());
    EXPECT_EQ(distinct.size(), 75u);
    int directives = 0;
    for (std::string_view entry : kKeywordTable) {
        SCOPED_TRACE(std::string(entry));
        EXPECT_LE(entry.size(), static_cast<size_t>(kMaxKeywordLength));
        EXPECT_TRUE(isKeyword(entry.data(), static_cast<int32_t>(entry.size())));
        if (entry.front() == '#') ++directives;
    }
    EXPECT_EQ(directives, 14);
    EXPECT_EQ(distinct.count("protected"), 0u);
    EXPECT_EQ(distinct.count("inline"), 0u);
}

TEST(IsKeyword, ComparesTheTokensBytesCaseSensitively) {
    struct Case {
        const char* token;
        int32_t length;
        bool keyword;
    };
    const Case cases[] = {
        {"int", 3, true},        {"INT", 3, false},
        {"int2", 4, false},      {"_int", 4, false},
        {"protected", 9, false}, {"inline", 6, false},
        {"#include", 8, true},   {"include", 7, false},
        {"#", 1, false},         {"return;", 6, true},  // only the first 6 bytes are the token
        {"in\0t", 4, false},                            // a zero byte ends the token early: "in"
        {"wchar_t", 7, true},    {"reinterpret_cast", 16, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.token) + "/" + std::to_string(c.length));
        EXPECT_EQ(isKeyword(c.token, c.length), c.keyword);
    }
}

}  // namespace
}  // namespace tarvo
