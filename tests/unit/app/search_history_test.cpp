#include <gtest/gtest.h>

#include "app/search_history.h"
#include "engine/search_request.h"

namespace tarvo {
std::string joined(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries)
        text += (text.empty() ? "" : "|") + entry;
    return text;
}

// Steps: '+' a search, '<' a text from the settings file (oldest), '-' a removal; entries after.
TEST(SearchHistory, StepsTheLatest25AndMatching) {
    const std::string longest(kMaxTextLength, 'L'), tooLong = longest + "L", nul("n\0l", 3);
    // clang-format off
    const std::tuple<char, std::string, std::string> steps[] = {
        {'+', "b", "b"}, {'+', "a", "a|b"}, {'+', "b", "b|a"}, {'+', "B", "B|b|a"},
        {'+', "", "B|b|a"}, {'+', " \t ", "B|b|a"}, {'+', "two\nlines", "B|b|a"},
        {'+', "cr\r", "B|b|a"}, {'+', nul, "B|b|a"}, {'+', tooLong, "B|b|a"},
        {'+', longest, longest + "|B|b|a"}, {'-', longest, "B|b|a"}, {'-', "absent", "B|b|a"},
        {'<', "older", "B|b|a|older"}, {'<', "b", "B|b|a|older"}, {'<', "", "B|b|a|older"},
        {'-', "b", "B|a|older"}, {'+', "older", "older|B|a"}};
    // clang-format on
    SearchHistory history;
    for (const auto& [step, text, after] : steps) {
        SCOPED_TRACE(::testing::Message() << step << " " << text.substr(0, 20));
        if (step == '+') history.add(text);
        if (step == '<') history.addOlder(text);
        if (step == '-') {
            EXPECT_EQ(history.remove(text), text != "absent");
        }
        EXPECT_EQ(joined(history.entries()), after);
    }
    // 25 kept: a 26th search drops the oldest, and a full list takes no older text from the file.
    SearchHistory full;
    for (int i = 1; i <= kMaxHistoryEntries + 1; ++i)
        full.add(std::to_string(i));
    ASSERT_EQ(full.entries().size(), static_cast<size_t>(kMaxHistoryEntries));
    EXPECT_EQ(full.entries().front(), "26");
    EXPECT_EQ(full.entries().back(), "2");
    full.addOlder("older");
    EXPECT_EQ(full.entries().back(), "2");
    full.add("2");
    EXPECT_EQ(full.entries().size(), static_cast<size_t>(kMaxHistoryEntries));
    EXPECT_EQ(full.entries().front(), "2");
    // The entries holding the typed text anywhere, A-Z folded, most recent first.
    SearchHistory typed;
    for (const char* text : {"caf\xC3\xA9", "C:\\Src\\Tarvo", "gadget count", "Widget"})
        typed.add(text);
    const std::pair<const char*, const char*> filters[] = {
        {"", "Widget|gadget count|C:\\Src\\Tarvo|caf\xC3\xA9"},
        {"get", "Widget|gadget count"},
        {"WIDG", "Widget"},
        {"src\\t", "C:\\Src\\Tarvo"},
        {"CAF\xC3\xA9", "caf\xC3\xA9"},
        {"CAF\xC3\x89", ""},
        {"widgets", ""}};
    for (const auto& [filter, shown] : filters)
        EXPECT_EQ(joined(typed.matching(filter)), shown) << filter;
}

}  // namespace tarvo
