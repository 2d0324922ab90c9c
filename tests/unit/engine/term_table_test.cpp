#include "engine/term_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "support/numbered_name.h"

namespace tarvo {
namespace {

using testing::numberedName;

std::vector<std::string> termsOf(const TermTable& table) {
    std::vector<std::string> terms;
    for (int32_t i = 0; i < table.count(); ++i) {
        terms.emplace_back(table.term(i).text, table.term(i).length);
    }
    return terms;
}

std::vector<std::string> parse(std::string_view findText) {
    TermTable table;
    table.parseTerms(findText);
    return termsOf(table);
}

using Terms = std::vector<std::string>;

TEST(ParseTerms, SplitsAtBlanksAndHonoursQuotesAndEscapes) {
    struct Case {
        const char* label;
        std::string findText;
        Terms expected;
    };
    const Case cases[] = {
        {"blanks around and between", "  a   b ", {"a", "b"}},
        {"quoted blank", "\"a b\"", {"a b"}},
        {"escaped quote", "\\\"x", {"\"x"}},
        {"trailing backslash stays", "ab\\", {"ab\\"}},
        {"three terms, middle quoted", "foo \"bar baz\" qux", {"foo", "bar baz", "qux"}},
        {"closing quote ends the term", "\"foo\"bar", {"foo", "bar"}},
        {"empty quoted term", "\"\"", {""}},
        {"unclosed quote runs to the end", "\"open  text", {"open  text"}},
        {"line feed escape", "a\\nb", {"a\nb"}},
        {"other escapes", "\\r\\t\\\\\\ x", {"\r\t\\ x"}},
        {"quote inside an unquoted term", "a\"b", {"a\"b"}},
        {"empty text", "", {}},
        {"blanks only", "   ", {}},
        {"tab is not a blank", "a\tb", {"a\tb"}},
        {"embedded NUL ends the text", std::string("a\0b", 3), {"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(parse(c.findText), c.expected);
    }
}

TEST(ParseTerms, TellsWhichLimitsTheTextRanInto) {
    std::string words100;
    for (int i = 0; i < 100; ++i)
        words100 += "w ";
    struct Case {
        const char* label;
        std::string findText;
        bool termsDropped, termSplit;
    } cases[] = {
        {"100 words and trailing blanks", words100 + "  ", false, false},
        {"a 101st word", words100 + "x", true, false},
        {"a 100-byte word", std::string(100, 'a') + " b", false, false},
        {"a 101-byte word", std::string(101, 'a'), false, true},
        {"a quoted 100-byte term", "\"" + std::string(100, 'q') + "\" x", false, false},
        {"a quoted term going on", "\"" + std::string(100, 'q') + " y\"", false, true},
    };
    TermTable table;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const TermLimitsMet limits = table.parseTerms(c.findText);
        EXPECT_EQ(limits.termsDropped, c.termsDropped);
        EXPECT_EQ(limits.termSplit, c.termSplit);
    }
}

TEST(ParseTerms, KeepsTheLimits) {
    {
        SCOPED_TRACE("101 words give 100 terms");
        std::string text;
        for (int i = 0; i < 101; ++i)
            text += numberedName("w", i) + " ";
        Terms terms = parse(text);
        ASSERT_EQ(terms.size(), 100u);
        EXPECT_EQ(terms.front(), "w0");
        EXPECT_EQ(terms.back(), "w99");
    }
    {
        SCOPED_TRACE("a 130-character word gives 100 + 30");
        Terms terms = parse(std::string(100, 'a') + std::string(30, 'b'));
        EXPECT_EQ(terms, (Terms{std::string(100, 'a'), std::string(30, 'b')}));
    }
    {
        SCOPED_TRACE("a full quoted term ends; its closing quote begins the next term");
        Terms terms = parse("\"" + std::string(100, 'q') + " y\"");
        EXPECT_EQ(terms, (Terms{std::string(100, 'q'), "y\""}));
    }
    {
        SCOPED_TRACE("a 10,000-character word");
        Terms terms = parse(std::string(10000, 'z'));
        ASSERT_EQ(terms.size(), 100u);
        for (const std::string& term : terms)
            EXPECT_EQ(term, std::string(100, 'z'));
    }
    {
        SCOPED_TRACE("10,000 characters of short words");
        std::string text;
        while (text.size() < 10000)
            text += "ab ";
        text.resize(10000);
        EXPECT_EQ(parse(text).size(), 100u);
    }
}

TEST(ParseTerms, FillsTheFirstCharTable) {
    TermTable table;
    table.parseTerms("Foo 1bar \xC4x");
    for (int c = 0; c < 256; ++c) {
        SCOPED_TRACE(c);
        bool expected = c == 'F' || c == 'f' || c == '1' || c == 0xC4;
        EXPECT_EQ(table.isFirstChar(static_cast<uint8_t>(c)), expected);
    }

    table.parseTerms("\"\" x");
    EXPECT_TRUE(table.isFirstChar(0)) << "an empty term flags the byte 0";
    EXPECT_TRUE(table.isFirstChar('X'));

    table.parseTerms("");
    EXPECT_EQ(table.count(), 0);
    EXPECT_FALSE(table.isFirstChar('x')) << "a new parse clears the old flags";
}

TEST(TermMatch, FoldsOnlyAsciiLettersAndStopsAtTheEnd) {
    TermTable table;
    table.parseTerms("foo \xE4 \"\"");
    auto matchAt = [&](std::string_view text, int32_t term) {
        return table.termMatchAt(text.data(), text.data() + text.size(), term);
    };
    EXPECT_TRUE(matchAt("FoO", 0));
    EXPECT_TRUE(matchAt("foobar", 0));
    EXPECT_FALSE(matchAt("fob", 0));
    EXPECT_FALSE(matchAt("fo", 0)) << "an occurrence never runs past the end";
    EXPECT_FALSE(matchAt(std::string_view("fo\0o", 4), 0)) << "a NUL ends the text";
    EXPECT_TRUE(matchAt("\xE4", 1));
    EXPECT_FALSE(matchAt("\xC4", 1)) << "A-umlaut and a-umlaut do not fold";
    EXPECT_TRUE(matchAt("", 2)) << "an empty term matches everywhere";

    const char* text = "foo";
    EXPECT_FALSE(table.termMatchAt(text, text + 2, 0)) << "the end given, not the NUL";
}

TEST(TermMatch, CaseMatchKind) {
    TermTable table;
    table.parseTerms("foo \"\"");
    auto kind = [&](std::string_view text, int32_t term) {
        return caseMatchKind(text.data(), text.data() + text.size(), table.term(term));
    };
    EXPECT_EQ(kind("Foo", 0), 1);
    EXPECT_EQ(kind("foo", 0), 2);
    EXPECT_EQ(kind("fob", 0), 0);
    EXPECT_EQ(kind("fo", 0), 0);
    EXPECT_EQ(kind("xyz", 1), 2) << "an empty term";
}

TEST(TermMatch, CountTermsInCountsDistinctTerms) {
    TermTable table;
    table.parseTerms("main util zzz");
    EXPECT_EQ(table.countTermsIn("C:\\p\\main_util.c"), 2);
    EXPECT_EQ(table.countTermsIn("main main MAIN"), 1) << "each term once";
    EXPECT_EQ(table.countTermsIn(""), 0);

    table.parseTerms("\"\" x");
    EXPECT_EQ(table.countTermsIn("abc"), 0) << "no first character: the empty term is not tried";
    EXPECT_EQ(table.countTermsIn("axb"), 2);
}

TEST(TermMatch, MarkTermMatchesMarksOverlapsAndKeepsTheRest) {
    TermTable table;
    table.parseTerms("ab bc \"\"");
    {
        SCOPED_TRACE("overlapping occurrences, any case");
        const char* line = "xABcab";
        uint8_t marks[8] = {1, 2, 3, 4, 5, 6, 0x77, 0x77};
        table.markTermMatches(line, marks);
        const uint8_t expected[8] = {0, MarkBit, MarkBit, MarkBit, MarkBit, MarkBit, 0x77, 0x77};
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(marks[i], expected[i]) << "byte " << i;
    }
    {
        SCOPED_TRACE("an empty line writes nothing");
        uint8_t marks[1] = {9};
        table.markTermMatches("", marks);
        EXPECT_EQ(marks[0], 9);
    }
    {
        SCOPED_TRACE("the empty term is never marked");
        TermTable emptyOnly;
        emptyOnly.parseTerms("\"\"");
        uint8_t marks[3] = {7, 7, 7};
        emptyOnly.markTermMatches("abc", marks);
        EXPECT_EQ(marks[0] | marks[1] | marks[2], 0);
    }
}

}  // namespace
}  // namespace tarvo
