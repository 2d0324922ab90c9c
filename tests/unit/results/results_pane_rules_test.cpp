#include "results/results_pane_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "engine/term_table.h"
#include "results/result_store.h"
#include "view/scroll_request.h"
#include "view/text_class.h"

namespace tarvo {
namespace {

ResultEntry entry(int32_t rankIndex, std::string path, int32_t lineNumber) {
    ResultEntry e;
    e.rankIndex = rankIndex;
    e.path = std::move(path);
    e.lineNumber = lineNumber;
    return e;
}

// Rows stop at the last result with white below; the scroll bar, the wheel
// and the pane agree on the last first row.
TEST(ResultsPaneRules, PaintPlanScrollAndClicks) {
    const ResultsPaintPlan plan = planResultsPaint(5, 10, 8, 16);
    EXPECT_EQ(std::make_tuple(plan.firstRow, plan.endRow, plan.blankTop),
              std::make_tuple(5, 8, 48));
    EXPECT_EQ(planResultsPaint(0, 10, 0, 16).blankTop, 0);
    EXPECT_EQ(rowRect(3, 16), (RowRect{0, 48, 1000000, 64}));

    ScrollBarState bar{0, 50, 10, 20, 33};
    const uint32_t wheelDown = static_cast<uint32_t>(static_cast<uint16_t>(-240)) << 16;
    EXPECT_EQ(requestedScrollPosition(bar, wheelDown, true, kResultRowsPerNotch), 24);
    EXPECT_EQ(clampScrollPosition(bar, 999), 41);
    const int32_t clamps[][3] = {{999, 50, 41}, {-4, 50, 0}, {3, 5, 0}};
    for (const auto& c : clamps)
        EXPECT_EQ(clampFirstVisibleRow(c[0], c[1], 10), c[2]) << c[0];

    // First visible row 10, 5 rows of 16 pixels: left and top edges belong to
    // a row, right and bottom edges to the next; nothing below the last result.
    const struct {
        int32_t x, y, count, row;
    } clicks[] = {{0, 0, 13, 10},  {500, 15, 13, 10}, {500, 16, 13, 11}, {65535, 47, 13, 12},
                  {5, 48, 13, -1}, {5, 79, 100, 14},  {5, 80, 100, -1}};
    for (const auto& c : clicks)
        EXPECT_EQ(rowAtPoint(c.x, c.y, 10, 5, c.count, 16), c.row) << c.x << "," << c.y;
    EXPECT_EQ(rowAtPoint(5, 0, 0, 5, 0, 16), -1);
}

// A page key keeps two rows of the old page in view, but always moves one
// row; every move is clamped to the list.
TEST(ResultsPaneRules, KeysMoveTheSelection) {
    const struct {
        int32_t key, selected, count, visibleRows, expected;
    } cases[] = {
        {KeyPageDown, 0, 100, 10, 8},   {KeyPageUp, 3, 100, 10, 0}, {KeyPageUp, 50, 100, 10, 42},
        {KeyDown, 99, 100, 10, 99},     {KeyUp, 0, 100, 10, 0},     {KeyDown, 4, 100, 10, 5},
        {KeyUp, 4, 100, 10, 3},         {KeyEnd, 4, 100, 10, 99},   {KeyHome, 40, 100, 10, 0},
        {KeyPageDown, 95, 100, 10, 99}, {KeyDown, -1, 0, 10, -1},   {KeyHome, -1, 0, 10, -1},
        {KeyPageDown, 5, 100, 1, 6},    {KeyPageUp, 5, 100, 2, 4},  {KeyPageDown, 5, 100, 3, 6},
        {KeyPageUp, 30, 100, 20, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "key " << c.key << " from " << c.selected << " in "
                                          << c.visibleRows << " rows");
        EXPECT_EQ(rowForKey(c.key, c.selected, c.visibleRows, c.count).value_or(-9), c.expected);
    }
    for (int32_t key : {0x25, 0x27, int32_t{'A'}})
        EXPECT_FALSE(rowForKey(key, 4, 10, 100).has_value()) << key;
}

// A direct repaint skips a row only when everything drawn there is the same:
// selection, rank (a result landed above), whole path, line and rectangle.
TEST(ResultsPaneRules, RowCacheRedrawsOnlyRowsThatChanged) {
    RowPaintCache cache;
    cache.clear();
    const std::string longPath(300, 'p');
    const RowRect r0 = rowRect(0, 16);
    const ResultEntry a = entry(0, longPath, 3);
    EXPECT_TRUE(cache.rowNeedsPaint(true, 0, a, r0, true));
    EXPECT_FALSE(cache.rowNeedsPaint(true, 0, a, r0, true));
    EXPECT_TRUE(cache.rowNeedsPaint(false, 0, a, r0, true)) << "WM_PAINT draws every row";
    const struct {
        ResultEntry entry;
        RowRect rect;
        bool selected;
    } changes[] = {{a, r0, false},
                   {entry(1, longPath, 3), r0, false},
                   {entry(1, longPath.substr(0, 299) + "q", 3), r0, false},
                   {entry(1, longPath, 4), r0, false},
                   {entry(1, longPath, 4), rowRect(0, 17), false}};
    for (const auto& c : changes) {
        EXPECT_TRUE(cache.rowNeedsPaint(true, 0, c.entry, c.rect, c.selected));
        EXPECT_FALSE(cache.rowNeedsPaint(true, 0, c.entry, c.rect, c.selected));
    }
    cache.clear();
    EXPECT_TRUE(cache.rowNeedsPaint(true, 0, a, r0, true));
    EXPECT_TRUE(cache.rowNeedsPaint(true, 99, a, rowRect(99, 16), false));
    EXPECT_FALSE(cache.rowNeedsPaint(true, 99, a, rowRect(99, 16), false));
    for (int32_t outside : {100, -1}) {
        EXPECT_TRUE(cache.rowNeedsPaint(true, outside, a, r0, false));
        EXPECT_TRUE(cache.rowNeedsPaint(true, outside, a, r0, false));
    }
}

TEST(ResultsPaneRules, RowTexts) {
    const ResultEntry e = entry(41, "src/main.c", 120);
    EXPECT_EQ(rankText(e), "42");
    EXPECT_EQ(pathText(e), "src/main.c (120)");
    TermTable terms;
    terms.parseTerms("main");
    std::vector<uint8_t> attrs;
    rowTextAttributes(pathText(e), false, terms, attrs);
    std::vector<uint8_t> marked(16, Plain);
    std::fill(marked.begin() + 4, marked.begin() + 8, MarkBit);
    EXPECT_EQ(attrs, marked);
    rowTextAttributes(pathText(e), true, terms, attrs);
    EXPECT_EQ(attrs, std::vector<uint8_t>(16, SelectedText)) << "the selected row has no marks";
}

}  // namespace
}  // namespace tarvo
