#include "engine/line_scoring.h"
#include <gtest/gtest.h>

namespace tarvo {
namespace {

// Terms, their line lists, whether line 1 begins in a comment; each score is held to its ceiling.
struct Scoring {
    Scoring(const char* findText, std::vector<std::vector<int32_t>> lists, bool inComment = false) {
        terms.parseTerms(findText);
        for (size_t t = 0; t < lists.size(); ++t)
            for (int32_t line : lists[t])
                EXPECT_TRUE(termLines[t].push(line));
        firstInComment = inComment;
    }
    ScoringInput input() const { return {terms, termLines.data(), onSyntaxList, options}; }
    bool inComment(int32_t line) const { return line == 1 && firstInComment; }
    int32_t score(int32_t line, const std::string& text) {
        const int32_t score = scorer.scoreLine(input(), line, inComment(line), text.c_str());
        EXPECT_GE(scorer.scoreCeiling(input(), line, inComment(line)), score) << text;
        return score;
    }
    TermTable terms;
    std::array<IntVector, kMaxTerms> termLines;
    bool firstInComment;  // line 1 begins inside /* */
    bool onSyntaxList = true;
    SearchOptions options;
    LineScorer scorer;
};

TEST(LineScoring, WorkedExampleAndOptions) {
    Scoring worked("foo bar", {{1, 2, 4}, {2}});
    EXPECT_EQ(worked.score(1, "// foo routine\n"), 1002020);
    EXPECT_EQ(worked.score(2, "int Foo(int bar)\n"), 2003050);
    EXPECT_EQ(worked.score(4, "    return foo;\n"), 1002010);
    worked.onSyntaxList = false;
    EXPECT_EQ(worked.score(2, "int Foo(int bar)\n"), 2002550);
    // What one option adds to the score of line 1.
    const auto caseBonus = &SearchOptions::caseSensitiveBonus;
    const auto word = &SearchOptions::wholeWordBonus;
    const auto definition = &SearchOptions::cppHeuristics;
    // clang-format off
    const std::tuple<const char*, bool SearchOptions::*, const char*, int32_t> cases[] = {
        {"foo \"\"", caseBonus, "FOO foo\n", 10},     {"foo", caseBonus, "FOO Foo\n", 0},
        {"foo", word, "foo_bar\n", 20},               {"foo", word, "foobar\n", 0},
        {"foo", word, "xfoo\n", 0},
        {"foo", word, "xfoo foofoo", 20},             {"get value", word, "getValue()\n", 50},
        {"a b", word, "bab\n", 30 + 25},              {"foo", definition, "        x = foo;\n", 0},
        {"foo", definition, "        int foo;\n", 920}, {"foo", definition, "         int foo;\n", 0},
        {"foo", definition, "\tint foo;\n", 960},     {"foo", definition, "bar(foo);\n", 0},
        {"foo", definition, "(x) foo\n", 1000},       {"foo", definition, "x /* foo */\n", 0},
        {"foo", definition, "x / foo\n", 1000},       {"foo", definition, "  case foo:\n", 0},
        {"foo", definition, "x; return foo;\n", 0},   {"foo", definition, "Return foo;\n", 1000}};
    // clang-format on
    for (const auto& [findText, option, line, part] : cases) {
        Scoring s(findText, {{1}, {1}});
        s.options.*option = false;
        const int32_t off = s.score(1, line);
        s.options.*option = true;
        EXPECT_EQ(s.score(1, line) - off, part) << findText << " on " << line;
    }
}

TEST(LineScoring, PresenceProximityAndTheCeiling) {
    struct Case {
        const char* findText;
        std::vector<std::vector<int32_t>> lists;
        int32_t line;
        std::string text;
        bool onSyntaxList, inComment, options;
        int32_t score, ceiling;
    };
    const Case cases[] = {
        // In the path: present on every line, 1000 more; proximity fades at 100 lines; text cut
        // before the term; every bonus reaches the ceiling.
        {"a b", {{0}, {0, 1}}, 1, "b\n", true, false, false, 2003000, 2003000},
        {"a b", {{1, 100, 101}, {1}}, 100, "a\n", true, false, false, 1001010, 1001010},
        {"a b", {{1, 100, 101}, {1}}, 101, "a\n", true, false, false, 1001000, 1001000},
        {"foo", {{1}}, 1, std::string(149, 'x') + " foo", true, false, true, 1001000, 1002030},
        {"int", {{1}}, 1, "int x;\n", true, false, true, 1002030, 1002030},
        {"int", {{1}}, 1, "int x;\n", false, false, true, 1001530, 1001530},
        {"int", {{1}}, 1, "int x;\n", true, true, true, 1001030, 1001030},
        {"int", {{1}}, 1, "int x;\n", true, false, false, 1001000, 1001000}};
    for (const Case& c : cases) {
        Scoring s(c.findText, c.lists, c.inComment);
        s.onSyntaxList = c.onSyntaxList;
        s.options.caseSensitiveBonus = s.options.wholeWordBonus = s.options.cppHeuristics =
            c.options;
        EXPECT_EQ(s.score(c.line, c.text), c.score);
        EXPECT_EQ(s.scorer.scoreCeiling(s.input(), c.line, s.inComment(c.line)), c.ceiling)
            << c.score;
    }
}

// The nearest line of a list, the lower on a tie, past a path entry.
TEST(LineScoring, NearestLine) {
    const std::vector<int32_t> nearest[] = {{5, -1000000},   {5, -1000000, 0}, {3, 5, 0, 5, 9},
                                            {7, 5, 0, 5, 9}, {8, 9, 0, 5, 9},  {3, 5, 5, 9},
                                            {100, 9, 5, 9},  {4, 2, 2, 6},     {5, 6, 2, 6}};
    for (const std::vector<int32_t>& c : nearest) {  // line, nearest, then the list
        IntVector list;
        for (size_t i = 2; i < c.size(); ++i)
            EXPECT_TRUE(list.push(c[i]));
        EXPECT_EQ(nearestLine(list, c[0]), c[1]) << c[0] << " in a list of " << list.size();
    }
}

}  // namespace
}  // namespace tarvo
