#include "engine/term_table.h"
#include <gtest/gtest.h>

namespace tarvo {
namespace {

// The terms joined by '|'.
std::string termsOf(std::string_view findText, TermLimitsMet* limits = nullptr) {
    TermTable table;
    const TermLimitsMet met = table.parseTerms(findText);
    if (limits) *limits = met;
    std::string terms;
    for (int32_t i = 0; i < table.count(); ++i)
        terms.append(i ? "|" : "").append(table.term(i).text, table.term(i).length);
    return terms;
}

TEST(TermTable, ParsingAndFirstBytes) {
    std::string words100, terms100;
    for (int i = 0; i < 100; ++i) {
        words100 += std::to_string(i) + " ";
        terms100.append(i ? "|" : "").append(std::to_string(i));
    }
    const std::string a(100, 'a');
    // clang-format off
    const std::tuple<std::string, std::string, bool, bool> cases[] = {
        {"  a   b ", "a|b", 0, 0},                  {"x \"bar baz\" q", "x|bar baz|q", 0, 0},
        {"\"foo\"bar", "foo|bar", 0, 0},           {"\"\"", "", 0, 0},
        {"\"open  text", "open  text", 0, 0},       {"\\\"x a\"b ab\\", "\"x|a\"b|ab\\", 0, 0},
        {"a\\nb \\r\\t\\\\\\ x", "a\nb|\r\t\\ x", 0, 0},  {"a\tb", "a\tb", 0, 0},
        {std::string("a\0b", 3), "a", 0, 0},      {"   ", "", 0, 0},
        {a + "bc", a + "|bc", 0, 1},               {"\"" + a + "\" x", a + "| x", 0, 0},
        {"\"" + a + " y\"", a + "|y\"", 0, 1},     {words100 + "  ", terms100, 0, 0},
        {words100 + "x", terms100, 1, 0}};
    // clang-format on
    for (const auto& [findText, terms, dropped, split] : cases) {
        SCOPED_TRACE(findText);
        TermLimitsMet limits;
        EXPECT_EQ(termsOf(findText, &limits), terms);
        EXPECT_EQ(std::make_pair(limits.termsDropped, limits.termSplit),
                  std::make_pair(dropped, split));
    }
    EXPECT_EQ(termsOf(std::string(10000, 'z')).size(), 100u * 101 - 1);
    TermTable table;
    table.parseTerms("Foo 1bar \xE4 \"\"");
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(table.isFirstChar(c), c == 'F' || c == 'f' || c == '1' || c == 0xE4 || !c) << c;
    EXPECT_EQ(table.countTermsIn("zz"), 0) << "the empty term only where a term may begin";
    const char* foo = "foo";
    EXPECT_FALSE(table.termMatchAt(foo, foo + 2, 0)) << "the end given, not the NUL, ends it";
}

}  // namespace
}  // namespace tarvo
