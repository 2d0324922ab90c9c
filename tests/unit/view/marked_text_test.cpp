#include "view/marked_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "view/text_class.h"

namespace tarvo {
namespace {

using Runs = std::vector<std::pair<std::string, int>>;

Runs cutRuns(const char* text, const std::vector<uint8_t>& attrs) {
    Runs runs;
    std::string runText;
    uint8_t attribute = 0;
    for (int i = 0, next; (next = nextRun(text, attrs.data(), i, runText, attribute)) != i;
         i = next) {
        runs.emplace_back(runText, attribute);
    }
    return runs;
}

// A run ends at any change of the whole attribute byte, the mark bit
// included; tabs expand from the start of their run, CR and LF show as
// spaces.
TEST(MarkedText, NextRunCutsAndExpands) {
    const struct {
        const char* text;
        std::vector<uint8_t> attrs;
        Runs runs;
    } cases[] = {
        {"", {}, {}},
        {"abc", {3, 3, 3}, {{"abc", 3}}},
        {"ab", {0, 0x40}, {{"a", 0}, {"b", 0x40}}},
        {"/*x*/", {3, 3, 0x43, 3, 3}, {{"/*", 3}, {"x", 0x43}, {"*/", 3}}},
        {"a\tb", {0, 0, 0}, {{"a   b", 0}}},
        {"\t\tx", {0, 0, 0}, {{"        x", 0}}},
        {"abcd\tx", {0, 0, 0, 0, 0, 0}, {{"abcd    x", 0}}},
        {"abc\tx", {0, 0, 0, 0, 0}, {{"abc x", 0}}},
        {"a\r\nb", {0, 0, 0, 0}, {{"a  b", 0}}},
        {"int\tx", {4, 4, 4, 0, 0}, {{"int", 4}, {"    x", 0}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cutRuns(c.text, c.attrs), c.runs) << c.text;
}

struct Fitted {
    std::string text;
    std::vector<uint8_t> attrs;
    int measurements = 0;
};

// Every byte one unit wide; counts the measurements.
Fitted fit(std::string text, std::vector<uint8_t> attrs, int maxWidth) {
    Fitted f{std::move(text), std::move(attrs)};
    fitTextToWidth(f.text, f.attrs, maxWidth, [&f](const char*, int n) {
        ++f.measurements;
        return n;
    });
    return f;
}

// A text that does not fit keeps a third before the dots and two thirds
// after; the dots carry the classes they cover without the mark; the
// measurements stay bounded whatever the length.
TEST(MarkedText, FitTextToWidth) {
    const std::string thirty = "abcdefghijklmnopqrstuvwxyz0123";
    std::vector<uint8_t> attrs(30);
    for (int i = 0; i < 30; ++i)
        attrs[i] = i < 5 ? (Comment | MarkBit) : i < 20 ? (Keyword | MarkBit) : Plain;
    const struct {
        std::string text;
        std::vector<uint8_t> attrs;
        int maxWidth;
        std::string fitted;
        std::vector<uint8_t> fittedAttrs;
        int measurements;
    } cases[] = {
        {thirty, attrs, 30, thirty, attrs, 1},
        {thirty, attrs, 20, "abcde...uvwxyz0123", {}, 0},
        {thirty, attrs, 18, "abcde...uvwxyz0123", {}, 2},  // an exact fit ends the search
        {thirty, attrs, 2, "...", {}, 0},
        {"abcde", {1, 1, 1, 1, 1}, 4, "...", {1, 1, 1}, 1},
        {"x", {0x42}, 0, "...", {2, 2, 2}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.text << " in " << c.maxWidth);
        const Fitted f = fit(c.text, c.attrs, c.maxWidth);
        EXPECT_EQ(f.text, c.fitted);
        EXPECT_TRUE(c.fittedAttrs.empty() || f.attrs == c.fittedAttrs);
        EXPECT_TRUE(c.measurements == 0 || f.measurements == c.measurements) << f.measurements;
        EXPECT_LE(f.measurements, 1 + kMaxFitProbes);
    }
    std::vector<uint8_t> cut(18, Plain);
    std::fill_n(cut.begin(), 5, Comment | MarkBit);
    std::fill_n(cut.begin() + 5, 3, Keyword);  // under the dots
    EXPECT_EQ(fit(thirty, attrs, 20).attrs, cut);

    const Fitted f = fit(std::string(9999, 'p'), std::vector<uint8_t>(9999, 0), 390);
    EXPECT_LE(f.measurements, 1 + kMaxFitProbes);
    EXPECT_LE(f.text.size(), 390u);
    EXPECT_EQ(f.attrs.size(), f.text.size());
}

TEST(MarkedText, ClassColours) {
    const uint32_t highlightText = 0x00123456;
    const std::pair<uint8_t, uint32_t> colours[] = {{Plain, 0x000000},
                                                    {SelectedText, highlightText},
                                                    {Gutter, 0xC0C0C0},
                                                    {Comment, 0x008000},
                                                    {Keyword | MarkBit, 0xFF0000}};
    for (const auto& [attribute, colour] : colours)
        EXPECT_EQ(classTextColour(textClassOf(attribute), highlightText), colour) << int(attribute);
    EXPECT_FALSE(classTextColour(5, highlightText).has_value());
}

}  // namespace
}  // namespace tarvo
