#include "engine/line_scoring.h"
#include <gtest/gtest.h>
#include <random>
#include "support/reference_scorer.h"

namespace tarvo {
namespace {

// Terms and their lines; each score is held to its ceiling and to the reference's.
struct Scoring {
    Scoring(const char* findText, std::vector<std::vector<int32_t>> lists, bool inComment = false)
        : firstInComment(inComment) {
        terms.parseTerms(findText);
        for (int32_t t = 0; t < std::min<int32_t>(lists.size(), terms.count()); ++t) {
            for (int32_t line : lists[t]) {
                EXPECT_TRUE(termLines[t].push(line));
                line == 0 ? inPath.add(t) : lineTerms[ringAt(line)].add(t);
            }
        }
    }
    ScoringInput input() const {
        return {terms,  lineTerms.data(), TermSet::firstTerms(terms.count()),
                inPath, onSyntaxList,     options};
    }
    bool inComment(int32_t line) const { return line == 1 && firstInComment; }
    int32_t ceiling(int32_t line) {
        return scorer.scoreCeiling(input(), scorer.presenceAndProximity(input(), line),
                                   inComment(line));
    }
    int32_t score(int32_t line, const std::string& text) {
        const int32_t presence = scorer.presenceAndProximity(input(), line);
        const int32_t score = scorer.scoreLine(input(), presence, inComment(line), text.c_str());
        EXPECT_GE(ceiling(line), score) << text;
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

TEST(LineScoring, WorkedExampleTheCeilingAndTheReference) {
    Scoring worked("foo bar", {{1, 2, 4}, {2}});
    EXPECT_EQ(worked.score(1, "// foo routine\n"), 1002020);
    EXPECT_EQ(worked.score(2, "int Foo(int bar)\n"), 2003050);
    EXPECT_EQ(worked.score(4, "    return foo;\n"), 1002010);
    worked.onSyntaxList = false;
    EXPECT_EQ(worked.score(2, "int Foo(int bar)\n"), 2002550);
    // What the C++ heuristics add where random lines seldom go: keywords, "()", the deepest indent.
    const std::pair<const char*, int32_t> cases[] = {
        {"        int foo;\n", 920}, {"         int foo;\n", 0}, {"\tint foo;\n", 960},
        {"(x) foo\n", 1000},         {"  case foo:\n", 0},       {"x; return foo;\n", 0},
        {"Return foo;\n", 1000}};
    for (const auto& [line, part] : cases) {
        Scoring s("foo", {{1}});
        s.options.cppHeuristics = false;
        const int32_t off = s.score(1, line);
        s.options.cppHeuristics = true;
        EXPECT_EQ(s.score(1, line) - off, part) << line;
    }
    // Every bonus earned reaches the ceiling: options, highlight list and comment on and off.
    const std::tuple<bool, bool, bool, int32_t> ceilings[] = {{true, true, false, 1002030},
                                                              {true, false, false, 1001530},
                                                              {true, true, true, 1001030},
                                                              {false, true, false, 1001000}};
    for (const auto& [options, onSyntaxList, inComment, score] : ceilings) {
        Scoring s("int", {{1}}, inComment);
        s.onSyntaxList = onSyntaxList;
        s.options.caseSensitiveBonus = s.options.wholeWordBonus = s.options.cppHeuristics = options;
        EXPECT_EQ(std::make_pair(s.score(1, "int x;\n"), s.ceiling(1)),
                  std::make_pair(score, score));
    }
    // A term holding a line feed never stands in one line's text: no bonus to reach.
    Scoring spanning("a b\\nc", {{1}, {1}});
    EXPECT_EQ(std::make_pair(spanning.score(1, "a b\n"), spanning.ceiling(1)),
              std::make_pair(2003030, 2003030));
    // Random lines around the 150 bytes scored, random term lines, every option: nested and
    // touching terms, case variants, a hundred terms sharing first bytes, an empty term.
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
