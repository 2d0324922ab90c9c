#include "engine/term_table.h"
#include <gtest/gtest.h>
#include <random>
#include "support/reference_marks.h"

namespace tarvo {
namespace {

// The terms joined by '|', and whether terms were dropped or a term split.
std::tuple<std::string, bool, bool> termsOf(std::string_view findText) {
    TermTable table;
    const TermLimitsMet met = table.parseTerms(findText);
    std::string terms;
    for (int32_t i = 0; i < table.count(); ++i)
        terms.append(i ? "|" : "").append(table.term(i).text, table.term(i).length);
    return {terms, met.termsDropped, met.termSplit};
}

TEST(TermTable, ParsingFirstBytesMarksAndCounts) {
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
    for (const auto& [findText, terms, dropped, split] : cases)
        EXPECT_EQ(termsOf(findText), std::make_tuple(terms, dropped, split)) << findText;
    EXPECT_EQ(std::get<0>(termsOf(std::string(10000, 'z'))).size(), 100u * 101 - 1);
    TermTable table;
    table.parseTerms("Foo 1bar \xE4 \"\"");
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(table.isFirstChar(c), c == 'F' || c == 'f' || c == '1' || c == 0xE4 || !c) << c;
    EXPECT_EQ(table.countTermsIn("zz"), 0) << "the empty term only where a term may begin";
    // Marks and counts as the reference's: nested, overlapping, case variants, "\n", "", shared.
    std::string hundred, shared;
    for (int length = 100; length > 0; --length)  // the longest first: nested, not in index order
        hundred += std::string(length, 'a') + " ";
    for (int i = 0; i < 99; ++i)
        shared += std::string(i, 'a') + "bA" + std::string(98 - i, 'a') + " ";
    const std::pair<std::string, std::string> queries[] = {{"she he HIS hers", "usheRShishe\nHE"},
                                                           {hundred, "aAb\n"},
                                                           {shared, "aAbB"},
                                                           {"a\\nb b\\n ab \"\"", "ab\nxy"},
                                                           {"foo oo o", "fFoO "}};
    std::mt19937 random(5);
    for (const auto& [findText, alphabet] : queries) {
        TermTable each;
        each.parseTerms(findText);
        for (int round = 0; round < 200; ++round) {
            std::string line(random() % (round < 100 ? 40 : 400), ' ');
            for (char& c : line)
                c = alphabet[random() % alphabet.size()];
            SCOPED_TRACE(findText.substr(0, 40) + " on " + line);
            int32_t count = 0;
            const std::vector<uint8_t> want = testing::referenceMarks(each, line, &count);
            std::vector<uint8_t> marks(line.size(), 0x3F);
            each.markTermMatches(line.c_str(), marks.data());
            EXPECT_EQ(marks, want);
            EXPECT_EQ(each.countTermsIn(line.c_str()), count);
        }
    }
}

}  // namespace
}  // namespace tarvo
