#include "engine/line_scoring.h"
#include <gtest/gtest.h>
#include <random>
#include "support/reference_scorer.h"

namespace tarvo {
namespace {

// Terms, their line lists, whether line 1 begins in a comment; each score is held to its ceiling
// and to the reference's.
struct Scoring {
    Scoring(const char* findText, std::vector<std::vector<int32_t>> lists, bool inComment = false)
        : firstInComment(inComment) {
        terms.parseTerms(findText);
        for (int32_t t = 0; t < std::min<int32_t>(lists.size(), terms.count()); ++t) {
            for (int32_t line : lists[t]) {
                EXPECT_TRUE(termLines[t].push(line));
                if (line == 0) {
                    inPath.add(t);
                } else {
                    lineTerms[ringAt(line)].add(t);
                }
            }
        }
    }
    ScoringInput input() const {
        return {terms,  lineTerms.data(), TermSet::firstTerms(terms.count()),
                inPath, onSyntaxList,     options};
    }
    bool inComment(int32_t line) const { return line == 1 && firstInComment; }
    int32_t score(int32_t line, const std::string& text) {
        const int32_t presence = scorer.presenceAndProximity(input(), line);
        const int32_t score = scorer.scoreLine(input(), presence, inComment(line), text.c_str());
        EXPECT_GE(scorer.scoreCeiling(input(), presence, inComment(line)), score) << text;
        const testing::ReferenceInput reference{terms, termLines.data(), onSyntaxList, options};
        EXPECT_EQ(score, testing::referenceScore(reference, line, inComment(line), text.c_str()))
            << text;
        return score;
    }
    bool firstInComment;  // line 1 begins inside /* */
    TermTable terms;
    std::array<IntVector, kMaxTerms> termLines;  // as the rules keep them, for the reference
    std::array<TermSet, kLineRing> lineTerms = {};
    TermSet inPath;
    bool onSyntaxList = true;
    SearchOptions options;
    LineScorer scorer;
};

TEST(LineScoring, WorkedExampleOptionsPresenceProximityAndTheCeiling) {
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
    struct Case {
        const char* findText;
        std::vector<std::vector<int32_t>> lists;
        int32_t line;
        std::string text;
        bool onSyntaxList, inComment, options;
        int32_t score, ceiling;
    };
    const Case lines[] = {
        // In the path: present on every line, 1000 more; proximity fades at 100 lines; text cut
        // before the term; every bonus reaches the ceiling.
        {"a b", {{0}, {0, 1}}, 1, "b\n", true, false, false, 2003000, 2003000},
        {"a b", {{1, 100, 101}, {1}}, 100, "a\n", true, false, false, 1001010, 1001010},
        {"a b", {{1, 100, 101}, {1}}, 101, "a\n", true, false, false, 1001000, 1001000},
        {"foo", {{1}}, 1, std::string(149, 'x') + " foo", true, false, true, 1001000, 1002030},
        {"int", {{1}}, 1, "int x;\n", true, false, true, 1002030, 1002030},
        {"int", {{1}}, 1, "int x;\n", false, false, true, 1001530, 1001530},
        {"int", {{1}}, 1, "int x;\n", true, true, true, 1001030, 1001030},
        {"int", {{1}}, 1, "int x;\n", true, false, false, 1001000, 1001000},
        // A term holding a line feed never stands in one line's text: no bonus to reach.
        {"a b\\nc", {{1}, {1}}, 1, "a b\n", true, false, true, 2003030, 2003030}};
    for (const Case& c : lines) {
        Scoring s(c.findText, c.lists, c.inComment);
        s.onSyntaxList = c.onSyntaxList;
        s.options.caseSensitiveBonus = s.options.wholeWordBonus = s.options.cppHeuristics =
            c.options;
        EXPECT_EQ(s.score(c.line, c.text), c.score);
        EXPECT_EQ(s.scorer.scoreCeiling(s.input(), s.scorer.presenceAndProximity(s.input(), c.line),
                                        s.inComment(c.line)),
                  c.ceiling)
            << c.score;
    }
}

// Over random lines around the 150 bytes scored and random lines of the terms: nested, overlapping
// and touching occurrences, case variants, a hundred terms sharing their first bytes, an empty
// term, every option on and off (each score is held to the reference's).
TEST(LineScoring, AgreesWithTheReference) {
    std::string hundred;
    for (int i = 0; i < 100; ++i)
        hundred += std::string(i % 7 + 1, 'a') + (i % 3 ? "B " : "b\\n ");
    const std::pair<std::string, std::string> queries[] = {
        {"a aa aaa AAAA", "aAb ("},
        {"get value getvalue Value", "getValu =("},
        {hundred, "aAbB\t"},
        {"int \"\" x", "intX ;\t/*"},
        {"ab ba aba bab b", "abAB_"}};
    std::mt19937 random(3);
    for (const auto& [findText, alphabet] : queries) {
        std::vector<std::vector<int32_t>> lists(kMaxTerms);
        for (std::vector<int32_t>& list : lists)
            for (int32_t line = random() % 3; line < 400; line += 1 + random() % 50)
                list.push_back(line);
        Scoring s(findText.c_str(), lists);
        for (int round = 0; round < 300; ++round) {
            std::string text(random() % 170, ' ');
            for (char& c : text)
                c = alphabet[random() % alphabet.size()];
            const int32_t line = round < 150 ? round + 1 : round - 149;
            s.onSyntaxList = round % 2;
            s.firstInComment = round % 5 == 0;
            s.options.caseSensitiveBonus = round % 3 != 0;
            s.options.wholeWordBonus = round % 4 != 0;
            s.options.cppHeuristics = round % 7 != 0;
            SCOPED_TRACE(findText.substr(0, 30) + " on line " + std::to_string(line));
            s.score(line, text);
        }
    }
}

}  // namespace
}  // namespace tarvo
