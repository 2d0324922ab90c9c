#include "results/results_pane_rules.h"

#include <gtest/gtest.h>

#include <string>
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

TEST(ResultsPaneRows, VisibleRowsAndPaintPlan) {
    EXPECT_EQ(rowsShown(160, 16), 10);
    EXPECT_EQ(rowsShown(161, 16), 11);  // a partly visible row counts
    {
        SCOPED_TRACE("rows stop at count; white below the last");
        ResultsPaintPlan plan = planResultsPaint(5, 10, 8, 16);
        EXPECT_EQ(plan.firstRow, 5);
        EXPECT_EQ(plan.endRow, 8);
        EXPECT_EQ(plan.blankTop, 3 * 16);
    }
    {
        SCOPED_TRACE("an empty store is all white");
        ResultsPaintPlan plan = planResultsPaint(0, 10, 0, 16);
        EXPECT_EQ(plan.endRow, 0);
        EXPECT_EQ(plan.blankTop, 0);
    }
    EXPECT_EQ(rowRect(3, 16), (RowRect{0, 48, 1000000, 64}));
}

TEST(ResultsPaneScroll, WheelTableAndClamp) {
    // count 50, 10 visible rows, first visible row 20.
    ScrollBarState bar{0, 50, 10, 20, 33};
    auto wheel = [&](int16_t distance) {
        uint32_t request = static_cast<uint32_t>(static_cast<uint16_t>(distance)) << 16;
        return requestedScrollPosition(bar, request, true, kResultRowsPerNotch);
    };
    EXPECT_EQ(wheel(120), 18);   // 2 rows towards the top
    EXPECT_EQ(wheel(-240), 24);  // 4 rows towards the bottom
    EXPECT_EQ(wheel(60), 20);    // less than a notch: nothing
    EXPECT_EQ(requestedScrollPosition(bar, PageDown, false, kResultRowsPerNotch), 30);
    EXPECT_EQ(requestedScrollPosition(bar, ThumbTrack, false, kResultRowsPerNotch), 33);
    {
        SCOPED_TRACE("the scroll bar and the pane agree on the last first row");
        EXPECT_EQ(clampScrollPosition(bar, 999), 41);
        EXPECT_EQ(clampFirstVisibleRow(999, 50, 10), 41);
        EXPECT_EQ(clampFirstVisibleRow(-4, 50, 10), 0);
        EXPECT_EQ(clampFirstVisibleRow(3, 5, 10), 0);  // fewer results than rows
    }
}

TEST(ResultsPaneKeys, MoveTheSelectionAndClamp) {
    struct Case {
        const char* label;
        int32_t key;
        int32_t selected;
        int32_t count;
        int32_t expected;
        int32_t visibleRows = 10;
    };
    const Case cases[] = {
        {"Page Down in 10 rows from 0", KeyPageDown, 0, 100, 8},
        {"Page Up from 3", KeyPageUp, 3, 100, 0},
        {"Page Up from 50", KeyPageUp, 50, 100, 42},
        {"Down at the last row keeps it", KeyDown, 99, 100, 99},
        {"Up at the first row keeps it", KeyUp, 0, 100, 0},
        {"Down", KeyDown, 4, 100, 5},
        {"Up", KeyUp, 4, 100, 3},
        {"End", KeyEnd, 4, 100, 99},
        {"Home", KeyHome, 40, 100, 0},
        {"Page Down near the end", KeyPageDown, 95, 100, 99},
        {"an empty store stays at -1", KeyDown, -1, 0, -1},
        {"Home in an empty store", KeyHome, -1, 0, -1},
        {"Page Down in 1 row moves one row", KeyPageDown, 5, 100, 6, 1},
        {"Page Up in 1 row moves one row", KeyPageUp, 5, 100, 4, 1},
        {"Page Down in 2 rows moves one row", KeyPageDown, 5, 100, 6, 2},
        {"Page Up in 2 rows moves one row", KeyPageUp, 5, 100, 4, 2},
        {"Page Down in 3 rows", KeyPageDown, 5, 100, 6, 3},
        {"Page Down in 20 rows", KeyPageDown, 5, 100, 23, 20},
        {"Page Up in 20 rows", KeyPageUp, 30, 100, 12, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::optional<int32_t> row = rowForKey(c.key, c.selected, c.visibleRows, c.count);
        ASSERT_TRUE(row.has_value());
        EXPECT_EQ(*row, c.expected);
    }
    SCOPED_TRACE("other keys do nothing");
    EXPECT_FALSE(rowForKey(0x25, 4, 10, 100).has_value());  // Left
    EXPECT_FALSE(rowForKey(0x27, 4, 10, 100).has_value());  // Right
    EXPECT_FALSE(rowForKey('A', 4, 10, 100).has_value());
}

TEST(ResultsPaneClicks, RowAtPoint) {
    // First visible row 10, 5 rows of 16 pixels, 13 results: rows 10, 11, 12.
    EXPECT_EQ(rowAtPoint(0, 0, 10, 5, 13, 16), 10);
    EXPECT_EQ(rowAtPoint(500, 15, 10, 5, 13, 16), 10);
    EXPECT_EQ(rowAtPoint(500, 16, 10, 5, 13, 16), 11);  // the bottom edge is the next row's
    EXPECT_EQ(rowAtPoint(65535, 47, 10, 5, 13, 16), 12);
    EXPECT_EQ(rowAtPoint(5, 48, 10, 5, 13, 16), -1);   // below the last row
    EXPECT_EQ(rowAtPoint(5, 79, 10, 5, 100, 16), 14);  // the partly visible bottom row
    EXPECT_EQ(rowAtPoint(5, 80, 10, 5, 100, 16), -1);
    EXPECT_EQ(rowAtPoint(5, 0, 0, 5, 0, 16), -1);  // no results
}

TEST(RowPaintCache, RedrawsOnlyRowsThatChanged) {
    RowPaintCache cache;
    cache.clear();
    const RowRect r0 = rowRect(0, 16);
    const RowRect r1 = rowRect(1, 16);
    ResultEntry a = entry(0, "src/a.c", 3);
    ResultEntry b = entry(1, "src/b.c", 7);
    {
        SCOPED_TRACE("empty slots draw; the same rows then skip");
        EXPECT_TRUE(cache.rowNeedsPaint(true, 0, a, r0, true));
        EXPECT_TRUE(cache.rowNeedsPaint(true, 1, b, r1, false));
        EXPECT_FALSE(cache.rowNeedsPaint(true, 0, a, r0, true));
        EXPECT_FALSE(cache.rowNeedsPaint(true, 1, b, r1, false));
    }
    {
        SCOPED_TRACE("a paint into another context draws every row");
        EXPECT_TRUE(cache.rowNeedsPaint(false, 0, a, r0, true));
        EXPECT_FALSE(cache.rowNeedsPaint(true, 0, a, r0, true));
    }
    {
        SCOPED_TRACE("selection, rank, path, line and rectangle are all part of the key");
        EXPECT_TRUE(cache.rowNeedsPaint(true, 0, a, r0, false));
        ResultEntry shifted = entry(1, "src/a.c", 3);  // a new result landed above
        EXPECT_TRUE(cache.rowNeedsPaint(true, 0, shifted, r0, false));
        EXPECT_TRUE(cache.rowNeedsPaint(true, 0, entry(1, "src/x.c", 3), r0, false));
        EXPECT_TRUE(cache.rowNeedsPaint(true, 0, entry(1, "src/x.c", 4), r0, false));
        EXPECT_TRUE(cache.rowNeedsPaint(true, 0, entry(1, "src/x.c", 4), rowRect(0, 17), false));
        EXPECT_FALSE(cache.rowNeedsPaint(true, 0, entry(1, "src/x.c", 4), rowRect(0, 17), false));
    }
    {
        SCOPED_TRACE("clearing empties every slot");
        cache.clear();
        EXPECT_EQ(cache.slot(1).rankIndex, -1);
        EXPECT_TRUE(cache.rowNeedsPaint(true, 1, b, r1, false));
    }
    {
        SCOPED_TRACE("positions beyond the slots are always drawn and cache nothing");
        EXPECT_TRUE(cache.rowNeedsPaint(true, 100, a, rowRect(100, 16), false));
        EXPECT_TRUE(cache.rowNeedsPaint(true, 100, a, rowRect(100, 16), false));
        EXPECT_TRUE(cache.rowNeedsPaint(true, -1, a, rowRect(0, 16), false));
        EXPECT_TRUE(cache.rowNeedsPaint(true, 99, a, rowRect(99, 16), false));
        EXPECT_FALSE(cache.rowNeedsPaint(true, 99, a, rowRect(99, 16), false));
    }
    {
        SCOPED_TRACE("a 300-character path is cached whole and compared whole");
        std::string longPath(300, 'p');
        ResultEntry lng = entry(5, longPath, 1);
        EXPECT_TRUE(cache.rowNeedsPaint(true, 2, lng, rowRect(2, 16), false));
        EXPECT_EQ(cache.slot(2).path, longPath);
        EXPECT_FALSE(cache.rowNeedsPaint(true, 2, lng, rowRect(2, 16), false));
        ResultEntry lastByte = entry(5, longPath.substr(0, 299) + "q", 1);
        EXPECT_TRUE(cache.rowNeedsPaint(true, 2, lastByte, rowRect(2, 16), false));
    }
}

TEST(ResultsPaneTexts, RankPathAndAttributes) {
    ResultEntry e = entry(41, "src/main.c", 120);
    EXPECT_EQ(rankText(e), "42");
    EXPECT_EQ(pathText(e), "src/main.c (120)");

    TermTable terms;
    terms.parseTerms("main");
    std::vector<uint8_t> attrs;
    {
        SCOPED_TRACE("other rows carry the term marks");
        rowTextAttributes(pathText(e), false, terms, attrs);
        ASSERT_EQ(attrs.size(), 16u);
        EXPECT_EQ(attrs[3], Plain);
        for (int i = 4; i < 8; ++i)
            EXPECT_EQ(attrs[i], MarkBit) << i;
    }
    {
        SCOPED_TRACE("the selected row has no marks, only the selected class");
        rowTextAttributes(pathText(e), true, terms, attrs);
        EXPECT_EQ(attrs, std::vector<uint8_t>(16, SelectedText));
    }
}

}  // namespace
}  // namespace tarvo
