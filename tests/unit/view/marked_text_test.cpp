#include "view/marked_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/term_table.h"
#include "view/text_class.h"

namespace tarvo {
namespace {

struct DrawnRun {
    std::string text;
    uint8_t attribute;
    bool operator==(const DrawnRun&) const = default;
};

void PrintTo(const DrawnRun& run, std::ostream* out) {
    *out << "{\"" << run.text << "\", 0x" << std::hex << int(run.attribute) << "}";
}

std::vector<DrawnRun> cutRuns(const char* text, const std::vector<uint8_t>& attrs) {
    std::vector<DrawnRun> runs;
    std::string runText;
    uint8_t attribute = 0;
    for (int i = 0, next; (next = nextRun(text, attrs.data(), i, runText, attribute)) != i;
         i = next) {
        runs.push_back({runText, attribute});
    }
    return runs;
}

TEST(NextRun, CutsAtEveryChangeOfTheWholeAttributeByte) {
    {
        SCOPED_TRACE("an empty text has no runs");
        EXPECT_TRUE(cutRuns("", {}).empty());
    }
    {
        SCOPED_TRACE("equal attributes make one run");
        EXPECT_EQ(cutRuns("abc", {3, 3, 3}), (std::vector<DrawnRun>{{"abc", 3}}));
    }
    {
        SCOPED_TRACE("the mark bit alone splits a run");
        EXPECT_EQ(cutRuns("ab", {0x00, 0x40}), (std::vector<DrawnRun>{{"a", 0x00}, {"b", 0x40}}));
    }
    {
        SCOPED_TRACE("a marked comment byte differs from a comment byte");
        EXPECT_EQ(cutRuns("/*x*/", {3, 3, 0x43, 3, 3}),
                  (std::vector<DrawnRun>{{"/*", 3}, {"x", 0x43}, {"*/", 3}}));
    }
}

TEST(NextRun, ExpandsTabsFromTheRunStartAndLineEndsToSpaces) {
    struct Case {
        const char* label;
        const char* text;
        const char* drawn;
    };
    const Case cases[] = {
        {"tab after one char", "a\tb", "a   b"},
        {"tab at the start", "\tx", "    x"},
        {"tab after four chars", "abcd\tx", "abcd    x"},
        {"tab after three chars", "abc\tx", "abc x"},
        {"two tabs", "\t\tx", "        x"},
        {"carriage return and line feed", "a\r\nb", "a  b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<uint8_t> attrs(std::strlen(c.text), 0);
        EXPECT_EQ(cutRuns(c.text, attrs), (std::vector<DrawnRun>{{c.drawn, 0}}));
    }
    {
        SCOPED_TRACE("a tab after a differently coloured token counts from its own run");
        // "int" is one run; the tab starts the next run and so expands to 4.
        EXPECT_EQ(cutRuns("int\tx", {4, 4, 4, 0, 0}),
                  (std::vector<DrawnRun>{{"int", 4}, {"    x", 0}}));
    }
}

// Every byte one unit wide.
int fixedWidth(const char*, int length) {
    return length;
}

struct Fitted {
    std::string text;
    std::vector<uint8_t> attrs;
    int measurements = 0;
};

Fitted fit(std::string text, std::vector<uint8_t> attrs, int maxWidth) {
    Fitted result{std::move(text), std::move(attrs)};
    int* measurements = &result.measurements;
    fitTextToWidth(result.text, result.attrs, maxWidth, [measurements](const char* t, int n) {
        ++*measurements;
        return fixedWidth(t, n);
    });
    return result;
}

TEST(FitTextToWidth, KeepsAThirdBeforeTheDotsAndTwoThirdsAfter) {
    const std::string thirty = "abcdefghijklmnopqrstuvwxyz0123";
    {
        SCOPED_TRACE("30 characters into 20 units: 5, dots, 10");
        Fitted f = fit(thirty, std::vector<uint8_t>(30, 0), 20);
        EXPECT_EQ(f.text, "abcde...uvwxyz0123");
        EXPECT_EQ(f.attrs.size(), f.text.size());
        EXPECT_LE(f.measurements, 1 + kMaxFitProbes);
    }
    {
        SCOPED_TRACE("a text that fits is left untouched, attributes too");
        std::vector<uint8_t> attrs(30, 0x40);
        Fitted f = fit(thirty, attrs, 30);
        EXPECT_EQ(f.text, thirty);
        EXPECT_EQ(f.attrs, attrs);
        EXPECT_EQ(f.measurements, 1);
    }
    {
        SCOPED_TRACE("fewer than 6 characters that do not fit become the dots");
        Fitted f = fit("abcde", {1, 1, 1, 1, 1}, 4);
        EXPECT_EQ(f.text, "...");
        EXPECT_EQ(f.attrs, (std::vector<uint8_t>{1, 1, 1}));
        EXPECT_EQ(f.measurements, 1);
    }
    {
        SCOPED_TRACE("one character becomes three dots, the class carried on");
        Fitted f = fit("x", {0x42}, 0);
        EXPECT_EQ(f.text, "...");
        EXPECT_EQ(f.attrs, (std::vector<uint8_t>{2, 2, 2}));
    }
    {
        SCOPED_TRACE("nothing fits: the dots alone");
        Fitted f = fit(thirty, std::vector<uint8_t>(30, 0), 2);
        EXPECT_EQ(f.text, "...");
    }
    {
        SCOPED_TRACE("an exact fit stops the search at once");
        // hi = 20, the first probe is k = 10: 5 + 3 + 10 = 18 units.
        Fitted f = fit(thirty, std::vector<uint8_t>(30, 0), 18);
        EXPECT_EQ(f.text, "abcde...uvwxyz0123");
        EXPECT_EQ(f.measurements, 2);
    }
}

TEST(FitTextToWidth, BoundsItsProbesOnALongText) {
    std::string text(9999, 'p');
    Fitted f = fit(text, std::vector<uint8_t>(text.size(), 0), 390);
    EXPECT_LE(f.measurements, 1 + kMaxFitProbes);
    EXPECT_LE(static_cast<int>(f.text.size()), 390);
    EXPECT_EQ(f.attrs.size(), f.text.size());
}

TEST(FitTextToWidth, AttributesFollowTheCut) {
    // Bytes 0-9 plain, 10-19 marked comment, 20-29 keyword.
    std::string text = "abcdefghijklmnopqrstuvwxyz0123";
    std::vector<uint8_t> attrs(30);
    for (int i = 0; i < 30; ++i)
        attrs[i] = i < 10 ? Plain : i < 20 ? (Comment | MarkBit) : Keyword;
    {
        SCOPED_TRACE("head kept, dots keep the covered classes, tail follows in order");
        Fitted f = fit(text, attrs, 20);
        std::vector<uint8_t> expected = {0, 0, 0, 0, 0, 0, 0, 0};  // head, dots over 5..7
        for (int i = 20; i < 30; ++i)
            expected.push_back(Keyword);
        EXPECT_EQ(f.attrs, expected);
    }
    {
        SCOPED_TRACE("a mark under the dots is lost, its class kept");
        std::vector<uint8_t> marked(30, Comment | MarkBit);
        Fitted f = fit(text, marked, 20);
        ASSERT_EQ(f.attrs.size(), 18u);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(f.attrs[i], Comment | MarkBit) << i;
        for (int i = 5; i < 8; ++i)
            EXPECT_EQ(f.attrs[i], Comment) << i;
        for (int i = 8; i < 18; ++i)
            EXPECT_EQ(f.attrs[i], Comment | MarkBit) << i;
    }
}

TEST(ClassTextColour, FixedColoursAndTheSystemsSelectedText) {
    const uint32_t highlightText = 0x00123456;
    EXPECT_EQ(classTextColour(Plain, highlightText), 0x000000u);
    EXPECT_EQ(classTextColour(SelectedText, highlightText), highlightText);
    EXPECT_EQ(classTextColour(Gutter, highlightText), 0xC0C0C0u);
    EXPECT_EQ(classTextColour(Comment, highlightText), 0x008000u);
    EXPECT_EQ(classTextColour(Keyword, highlightText), 0xFF0000u);
    EXPECT_FALSE(classTextColour(5, highlightText).has_value());
    EXPECT_EQ(textClassOf(0x43), Comment);
    EXPECT_EQ(textClassOf(0x44), Keyword);
}

}  // namespace
}  // namespace tarvo
