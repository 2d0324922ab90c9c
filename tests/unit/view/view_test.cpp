#include <gtest/gtest.h>
#include <algorithm>
#include "engine/wide_text.h"
#include "support/repeated.h"
#include "view/display_scale.h"
#include "view/marked_text.h"
#include "view/scroll_request.h"
#include "view/text_class.h"

namespace tarvo {
using Runs = std::vector<std::pair<std::string, int>>;

Runs cutRuns(const char* text, const std::vector<uint8_t>& attrs, int tabWidth = 4) {
    Runs runs;
    std::string runText;
    uint8_t attribute = 0;
    int column = 0;
    for (int i = 0, next;
         (next = nextRun(text, attrs.data(), i, column, runText, attribute, tabWidth)) != i;
         i = next)
        runs.emplace_back(runText, attribute);
    return runs;
}

struct Fitted {
    std::string text;
    std::vector<uint8_t> attrs;
    int measurements = 0;
};
Fitted fit(std::string text, std::vector<uint8_t> attrs, int maxWidth) {  // a byte a unit wide
    Fitted f{std::move(text), std::move(attrs)};
    fitTextToWidth(f.text, f.attrs, maxWidth,
                   [&f](const char*, int n) { return ++f.measurements, n; });
    return f;
}

// Runs end at any attribute change; CR and LF show as spaces; tab stops count across runs.
TEST(MarkedText, NextRunCutsAndExpandsAndFitTextToWidth) {
    const std::tuple<const char*, std::vector<uint8_t>, Runs> cases[] = {
        {"", {}, {}},
        {"abc", {3, 3, 3}, {{"abc", 3}}},
        {"ab", {0, 0x40}, {{"a", 0}, {"b", 0x40}}},
        {"/*x*/", {3, 3, 0x43, 3, 3}, {{"/*", 3}, {"x", 0x43}, {"*/", 3}}},
        {"\t\tx", {0, 0, 0}, {{"        x", 0}}},
        {"abcd\tx", {0, 0, 0, 0, 0, 0}, {{"abcd    x", 0}}},
        {"abc\tx", {0, 0, 0, 0, 0}, {{"abc x", 0}}},
        {"a\r\nb", {0, 0, 0, 0}, {{"a  b", 0}}},
        {"x\ty\tz", {0, 0, 4, 0, 0}, {{"x   ", 0}, {"y", 4}, {"   z", 0}}},
        {"\tab\t", {0x40, 0x40, 0x40, 0}, {{"    ab", 0x40}, {"  ", 0}}},
        {"\xc3\xbc\xc3\xbcx", {0x40, 0, 0, 0x40, 0}, {{"\xc3\xbc", 0x40}, {"\xc3\xbcx", 0}}},
        {"\xe6\x97\xa5\xe6\x9c\xac\xc3\xbc\tx",
         {4, 4, 4, 4, 4, 4, 0, 0, 0, 0},
         {{"\xe6\x97\xa5\xe6\x9c\xac", 4}, {"\xc3\xbc x", 0}}},
        {"\xe9\t\xe6\x97\tx", {0, 0, 0, 0, 0, 0}, {{"\xe9   \xe6\x97  x", 0}}}};
    for (const auto& [text, attrs, runs] : cases)
        EXPECT_EQ(cutRuns(text, attrs), runs) << text;
    // Stops 8 and 1 columns apart, as the user may set them; typed or saved, 1 to 16 is a width.
    EXPECT_EQ(cutRuns("abc\tx\t", {0, 0, 0, 0, 0, 4}, 8), (Runs{{"abc     x", 0}, {"       ", 4}}));
    EXPECT_EQ(cutRuns("\tab\tc", {0, 0, 0, 0, 0}, 1), (Runs{{" ab c", 0}}));
    const std::pair<const char*, int> widths[] = {{"4", 4},  {" 16 ", 16}, {"1", 1},  {"0", 0},
                                                  {"17", 0}, {"-4", 0},    {"4x", 0}, {"", 0},
                                                  {"  ", 0}, {"007", 0}};
    for (const auto& [text, width] : widths)
        EXPECT_EQ(parseTabWidth(text).value_or(0), width) << text;
    // A third before the dots, two thirds after; dots lose the mark; the search stays bounded.
    const std::string thirty = "abcdefghijklmnopqrstuvwxyz0123";
    std::vector<uint8_t> attrs(30, kPlainText);
    std::fill_n(std::fill_n(attrs.begin(), 5, kCommentText | kMarkBit), 15,
                kKeywordText | kMarkBit);
    using Bytes = std::vector<uint8_t>;
    Bytes cut(18, kPlainText);  // the dots keep what they cover, not its mark
    std::fill_n(std::fill_n(cut.begin(), 5, kCommentText | kMarkBit), 3, kKeywordText);
    const std::tuple<std::string, Bytes, int, std::string, Bytes, int> fits[] = {
        {thirty, attrs, 30, thirty, attrs, 1},
        {thirty, attrs, 20, "abcde...uvwxyz0123", cut, 4},
        {thirty, attrs, 18, "abcde...uvwxyz0123", cut, 2},
        {thirty, attrs, 2, "...", Bytes(3, kCommentText), 4},
        {"abcde", {1, 1, 1, 1, 1}, 4, "...", {1, 1, 1}, 1},
        {"x", {0x42}, 0, "...", {2, 2, 2}, 1}};
    for (const auto& [text, bytes, maxWidth, fitted, fittedBytes, measurements] : fits) {
        SCOPED_TRACE(::testing::Message() << text << " in " << maxWidth);
        const Fitted f = fit(text, bytes, maxWidth);
        EXPECT_EQ(std::tie(f.text, f.attrs, f.measurements),
                  std::tie(fitted, fittedBytes, measurements));
    }
    const std::string accents =
        testing::repeated(10, "\xc3\xa9") + testing::repeated(20, "\xc3\xbc");
    Fitted e{accents, std::vector<uint8_t>(60, kPlainText)};
    fitTextToWidth(e.text, e.attrs, 20, [](const char* text, int n) {
        return static_cast<int>(toUtf16(std::string_view(text, n)).size());
    });
    EXPECT_EQ(e.text, accents.substr(0, 10) + "..." + accents.substr(40));
    EXPECT_EQ(e.attrs.size(), e.text.size());
    const Fitted f = fit(std::string(9999, 'p'), std::vector<uint8_t>(9999, 0), 390);
    EXPECT_LE(f.measurements, 1 + kMaxFitProbes);
    EXPECT_LE(f.text.size(), 390u);
    EXPECT_EQ(f.attrs.size(), f.text.size());
}

// Whole wheel notches only, nothing carried over; scroll bar codes from the low word only.
TEST(ScrollRequest, WheelScrollBarCodesClampAndRowsShown) {
    const ScrollBarState bar{1, 101, 20, 50, 77};
    const int32_t wheels[][3] = {{120, 4, 46}, {-240, 4, 58}, {60, 4, 50},     {-119, 4, 50},
                                 {179, 4, 46}, {120, 2, 48},  {-32768, 1, 323}};
    for (const auto& [distance, perNotch, expected] : wheels) {
        const uint32_t request = static_cast<uint32_t>(static_cast<uint16_t>(distance)) << 16;
        EXPECT_EQ(requestedScrollPosition(bar, request, true, perNotch), expected)
            << distance << " x" << perNotch;
    }
    const int32_t expected[] = {49, 51, 30, 70, 50, 77, 1, 101, 50, 50};
    for (uint32_t code = 0; code < 10; ++code)
        EXPECT_EQ(requestedScrollPosition(bar, code, false, 4), expected[code]) << code;
    EXPECT_EQ(requestedScrollPosition(bar, 0x00050001u, false, 4), 51);
    // A page of n rows leaves n - 1 positions at the end; a partly visible row counts as shown.
    const int32_t clamps[][5] = {{1, 101, 20, 500, 82},
                                 {1, 101, 20, -3, 1},
                                 {1, 101, 20, 40, 40},
                                 {0, 5, 10, 3, 0},
                                 {1, -1, 20, 7, 1}};
    for (const auto& [min, max, page, position, expected] : clamps)
        EXPECT_EQ(clampScrollPosition({min, max, page, 0, 0}, position), expected) << position;
    const int32_t rows[][3] = {{200, 20, 10}, {201, 20, 11}, {19, 20, 1}, {0, 20, 0}, {200, 0, 0}};
    for (const auto& r : rows)
        EXPECT_EQ(rowsShown(r[0], r[1]), r[2]) << r[0] << "/" << r[1];
}

// To a DPI and back to 96 DPI, halves away from zero, as MulDiv rounds.
TEST(DisplayScale, SizesScaleAsMulDivRounds) {
    const int32_t sizes[][4] = {// size, DPI, at that DPI, back to 96 DPI
                                {5, 144, 8, 3},    {-5, 144, -8, -3}, {7, 120, 9, 6},
                                {62, 120, 78, 50}, {63, 120, 79, 50}, {301, 144, 452, 201}};
    for (const auto& [size, dpi, scaled, back] : sizes)
        EXPECT_EQ(std::make_pair(scaleToDpi(size, dpi), scaleFromDpi(size, dpi)),
                  std::make_pair(scaled, back))
            << size << " at " << dpi;
}

}  // namespace tarvo
