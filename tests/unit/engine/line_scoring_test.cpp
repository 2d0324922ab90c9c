#include "engine/line_scoring.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace tarvo {
namespace {

void fill(IntVector& vector, std::initializer_list<int32_t> values) {
    vector.clear();
    for (int32_t value : values)
        ASSERT_TRUE(vector.push(value));
}

TEST(NearestLine, PicksTheNearestRealLineLowerOnATie) {
    IntVector list;
    EXPECT_EQ(nearestLine(list, 5), -1000000) << "empty list";
    fill(list, {0});
    EXPECT_EQ(nearestLine(list, 5), -1000000) << "path entry only";
    fill(list, {0, 5, 9});
    EXPECT_EQ(nearestLine(list, 3), 5) << "below the first real line, after the path entry";
    EXPECT_EQ(nearestLine(list, 8), 9);
    EXPECT_EQ(nearestLine(list, 7), 5) << "tie goes to the lower line";
    fill(list, {5, 9});
    EXPECT_EQ(nearestLine(list, 3), 5) << "below every entry";
    EXPECT_EQ(nearestLine(list, 9), 9);
    EXPECT_EQ(nearestLine(list, 100), 9) << "past the last entry";
    fill(list, {2, 6});
    EXPECT_EQ(nearestLine(list, 4), 2);
    EXPECT_EQ(nearestLine(list, 5), 6);
}

// A scoring setup: terms, their line lists and the comment flags of a file
// of `lines` lines.
struct Scoring {
    explicit Scoring(const char* findText, int32_t lines = 10) {
        terms.parseTerms(findText);
        for (int32_t i = 0; i <= lines + 1; ++i)
            EXPECT_TRUE(commentFlags.push(0));
    }
    int32_t score(int32_t line, const std::string& text) {
        ScoringInput input{terms, termLines.data(), commentFlags, onSyntaxList, options};
        const int32_t score = scorer.scoreLine(input, line, text.c_str());
        EXPECT_GE(scorer.scoreCeiling(input, line), score) << "line " << line << ": " << text;
        return score;
    }
    int32_t ceiling(int32_t line) const {
        return scorer.scoreCeiling({terms, termLines.data(), commentFlags, onSyntaxList, options},
                                   line);
    }
    // What one option adds to the score of a line.
    int32_t optionPart(int32_t SearchOptions::*option, int32_t line, const std::string& text) {
        options.*option = 1;
        int32_t on = score(line, text);
        options.*option = 0;
        int32_t off = score(line, text);
        options.*option = 1;
        return on - off;
    }

    TermTable terms;
    std::array<IntVector, kMaxTerms> termLines;
    IntVector commentFlags;
    bool onSyntaxList = true;
    SearchOptions options;
    LineScorer scorer;
};

TEST(ScoreLine, WorkedExample) {
    Scoring s("foo bar", 4);
    s.options.searchFileNames = 0;
    fill(s.termLines[0], {1, 2, 4});
    fill(s.termLines[1], {2});
    EXPECT_EQ(s.score(1, "// foo routine\n"), 1002020);
    EXPECT_EQ(s.score(2, "int Foo(int bar)\n"), 2003050);
    EXPECT_EQ(s.score(4, "    return foo;\n"), 1002010);
    s.onSyntaxList = false;
    EXPECT_EQ(s.score(2, "int Foo(int bar)\n"), 2002550);
}

TEST(ScoreLine, PresenceAndProximity) {
    {
        SCOPED_TRACE("a term found in the path is present on every line");
        Scoring s("a b");
        fill(s.termLines[0], {0});
        fill(s.termLines[1], {0, 1});
        s.options.caseSensitiveBonus = s.options.wholeWordBonus = s.options.cppHeuristics = 0;
        // a: present, +1000 for the path; b: present, +1000 path, +1000 on the line.
        EXPECT_EQ(s.score(1, "b\n"), 2000000 + 1000 + 1000 + 1000);
    }
    {
        SCOPED_TRACE("proximity fades to nothing at 100 lines");
        Scoring s("a b", 200);
        fill(s.termLines[0], {1, 100, 101});
        fill(s.termLines[1], {1});
        s.options.caseSensitiveBonus = s.options.wholeWordBonus = s.options.cppHeuristics = 0;
        EXPECT_EQ(s.score(100, "a\n"), 1000000 + 1000 + 10);
        EXPECT_EQ(s.score(101, "a\n"), 1000000 + 1000);
    }
    {
        SCOPED_TRACE("a term inside another term's occurrence still counts");
        Scoring s("foobar oba");
        fill(s.termLines[0], {1});
        fill(s.termLines[1], {1});
        EXPECT_GE(s.score(1, "foobar\n"), 2000000);
    }
    {
        SCOPED_TRACE("text cut at 150 bytes before the term: only presence and proximity");
        Scoring s("foo");
        fill(s.termLines[0], {1});
        std::string text = std::string(149, 'x') + " foo";
        EXPECT_EQ(s.score(1, text), 1000000 + 1000);
    }
}

TEST(ScoreLine, CaseBonus) {
    Scoring s("foo \"\"");
    fill(s.termLines[0], {1});
    fill(s.termLines[1], {1});
    EXPECT_EQ(s.optionPart(&SearchOptions::caseSensitiveBonus, 1, "FOO foo\n"), 10) << "once";
    EXPECT_EQ(s.optionPart(&SearchOptions::caseSensitiveBonus, 1, "FOO Foo\n"), 0);
    EXPECT_EQ(s.optionPart(&SearchOptions::caseSensitiveBonus, 1, "x\n"), 0);
}

TEST(ScoreLine, WholeWordBonus) {
    auto part = [](const char* findText, const char* line) {
        Scoring s(findText);
        for (int32_t i = 0; i < s.terms.count(); ++i)
            fill(s.termLines[i], {1});
        return s.optionPart(&SearchOptions::wholeWordBonus, 1, line);
    };
    EXPECT_EQ(part("foo", "foo_bar\n"), 20) << "the underscore is not a word character";
    EXPECT_EQ(part("foo", "foobar\n"), 0);
    EXPECT_EQ(part("foo", "xfoo foo\n"), 20) << "the best run counts";
    EXPECT_EQ(part("foo", "foofoo\n"), 20) << "touching occurrences form one run";
    EXPECT_EQ(part("foo", "foo"), 20) << "the end of the line bounds";
    EXPECT_EQ(part("get value", "getValue()\n"), 25 + 25) << "touching terms earn 5 each";
    EXPECT_EQ(part("\"\"", "abc\n"), 0) << "an empty term";
}

TEST(ScoreLine, DefinitionBonus) {
    auto part = [](const char* line, bool onSyntaxList = true, bool inComment = false) {
        Scoring s("foo");
        fill(s.termLines[0], {1});
        s.onSyntaxList = onSyntaxList;
        if (inComment) fill(s.commentFlags, {0, 1, 0});
        return s.optionPart(&SearchOptions::cppHeuristics, 1, line);
    };
    EXPECT_EQ(part("        x = foo;\n"), 0) << "assignment before the term";
    EXPECT_EQ(part("        int foo;\n"), 920);
    EXPECT_EQ(part("         int foo;\n"), 0) << "nine blanks";
    EXPECT_EQ(part("\tint foo;\n"), 960);
    EXPECT_EQ(part("int foo;\n", false), 500) << "off the syntax list";
    EXPECT_EQ(part("\tint foo;\n", false), 480);
    EXPECT_EQ(part("int foo;\n", true, true), 0) << "begins inside a comment";
    EXPECT_EQ(part("bar(foo);\n"), 0) << "inside parentheses";
    EXPECT_EQ(part("(x) foo\n"), 1000) << "parentheses closed again";
    EXPECT_EQ(part("x /* foo */\n"), 0);
    EXPECT_EQ(part("x / foo\n"), 1000) << "a lone slash";
    EXPECT_EQ(part("  case foo:\n"), 0);
    EXPECT_EQ(part("x; return foo;\n"), 0) << "return anywhere before the term";
    EXPECT_EQ(part("Return foo;\n"), 1000) << "case-sensitive";
    EXPECT_EQ(part(" \t \n"), 0) << "no term";
}

TEST(ScoreCeiling, ReachedByALineEarningEveryBonus) {
    struct Row {
        const char* label;
        bool onSyntaxList, inComment, optionsOn;
        int32_t expected;
    };
    const Row rows[] = {
        {"every bonus", true, false, true, 1002030},
        {"off the syntax list: half the definition bonus", false, false, true, 1001530},
        {"begins inside a comment: no definition bonus", true, true, true, 1001030},
        {"no option", true, false, false, 1001000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Scoring s("int");
        fill(s.termLines[0], {1});
        if (row.inComment) fill(s.commentFlags, {0, 1, 0});
        s.onSyntaxList = row.onSyntaxList;
        s.options.caseSensitiveBonus = s.options.wholeWordBonus = s.options.cppHeuristics =
            row.optionsOn;
        EXPECT_EQ(s.score(1, "int x;\n"), row.expected);
        EXPECT_EQ(s.ceiling(1), row.expected);
    }
}

}  // namespace
}  // namespace tarvo
