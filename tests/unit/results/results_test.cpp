// The result store (orders, selection) and the results pane's rules.
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>
#include "engine/term_table.h"
#include "results/result_store.h"
#include "results/results_pane_rules.h"
#include "view/text_class.h"

namespace tarvo {
using Shown = std::pair<std::string, int32_t>;

std::string numbered(const char* prefix, int i) {  // zero-padded: sorts as the number
    return std::string(prefix).append(std::to_string(100000 + i), 1);
}

// Only A-Z fold; std::string compares bytes unsigned.
std::string folded(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return s;
}

class ResultStoreTest : public ::testing::Test, public ResultViews {
protected:
    ResultStoreTest() { store.clearResults(); }
    void showFile(const char* path, int32_t lineNumber) override {
        shown.emplace_back(path, lineNumber);
    }
    void repaintList() override {}
    void forgetRowCache() override {}
    Shown selected() {
        store.ensureDisplayOrder();
        const ResultEntry& e = store.displayEntry(store.selectedRow());
        return {e.path, e.lineNumber};
    }
    void fill(int n, int32_t score, const char* prefix, int step = 1) {
        for (int i = 0; i < n; ++i)
            store.addResult(score, numbered(prefix, i * step).c_str(), 1, "t");
    }
    std::vector<Shown> shown;
    ResultStore store{this};
};

// A full store takes a line only if it ranks before the last, which leaves with its selection.
TEST_F(ResultStoreTest, FullStoreAtTheCap) {
    fill(kMaxResults, 100, "f");
    const std::tuple<int32_t, const char*, int32_t, bool> rows[] = {
        {101, "z", 1, true},       {99, "a", 1, false},      {100, "F09997", 9, true},
        {100, "F09999", 0, false}, {100, "f09998", 0, true}, {100, "f09998", 1, false}};
    for (const auto& [score, path, line, enters] : rows)
        EXPECT_EQ(store.entryBar(path).admits(score, line), enters) << path << ":" << line;
    store.addResult(99, "a", 1, "t");
    store.addResult(100, numbered("f", 500).c_str(), 0, "new");
    EXPECT_EQ(store.count(), kMaxResults);
    EXPECT_EQ(store.rankEntry(500).lineText, "new");
    EXPECT_EQ(store.rankEntry(kMaxResults - 1).path, numbered("f", kMaxResults - 2));
    store.setVisibleRows(10);
    store.selectRow(kMaxResults - 1);
    store.addResult(200, "best.c", 1, "t");
    EXPECT_EQ(std::make_pair(store.selectedRow(), shown.back()),
              std::make_pair(0, Shown("best.c", 1)));
    store.clearResults();
    fill(kMaxResults, -1, "p", 2);
    store.addResult(-1, numbered("p", kMaxResults * 2).c_str(), 0, "");
    store.addResult(-1, numbered("p", 3).c_str(), 0, "");
    EXPECT_EQ(store.rankEntry(2).path, numbered("p", 3));
    EXPECT_EQ(store.rankEntry(kMaxResults - 1).path, numbered("p", (kMaxResults - 2) * 2));
}

// Random runs with equal keys in every mode against the invariants of orders and selection.
TEST_F(ResultStoreTest, InvariantsOverRandomRuns) {
    constexpr int32_t kVisible = 7;
    const char* const paths[] = {"a", "A", "Z", "_", "z0", "\xe9", "ab"};
    const char* const texts[] = {"x", "X", "y"};
    for (int32_t mode : {int32_t{ByRank}, int32_t{ByFileName}, int32_t{ByLineText}, 7}) {
        SCOPED_TRACE(mode);
        store.clearResults();
        store.setVisibleRows(kVisible);
        store.setSortMode(mode);
        std::map<const ResultEntry*, int> arrival;
        std::mt19937 random(7 + mode);
        for (int step = 0; step < 400; ++step) {
            SCOPED_TRACE(step);
            if (store.count() > 0 && random() % 4 == 0) {
                store.selectRow(static_cast<int32_t>(random() % store.count()));
                continue;
            }
            const int32_t rowBefore = store.selectedRow(), firstBefore = store.firstVisibleRow();
            const Shown before = rowBefore > 0 ? selected() : Shown();
            store.addResult(static_cast<int32_t>(random() % 4), paths[random() % 7],
                            static_cast<int32_t>(random() % 3), texts[random() % 3]);
            std::vector<const ResultEntry*> rank;
            for (int32_t i = 0; i < store.count(); ++i)
                rank.push_back(&store.rankEntry(i));
            for (const ResultEntry* e : rank)
                arrival.try_emplace(e, step);
            auto key = [&](const ResultEntry* e) {
                return std::make_tuple(-e->score, folded(e->path), e->lineNumber, arrival[e]);
            };
            ASSERT_TRUE(std::is_sorted(rank.begin(), rank.end(),
                                       [&](auto* a, auto* b) { return key(a) < key(b); }));
            auto displayKey = [&](const ResultEntry* e) {
                const std::string text = mode == ByLineText ? folded(e->lineText) : "";
                return mode == ByFileName || mode == ByLineText
                           ? std::make_tuple(text, folded(e->path), e->lineNumber)
                           : std::make_tuple(text, std::string(), 0);
            };
            std::vector<const ResultEntry*> display = rank;
            std::stable_sort(display.begin(), display.end(),
                             [&](auto* a, auto* b) { return displayKey(a) < displayKey(b); });
            store.ensureDisplayOrder();
            for (int32_t r = 0; r < store.count(); ++r)
                ASSERT_EQ(&store.displayEntry(r), display[r]) << "row " << r;
            const int32_t row = store.selectedRow(), first = store.firstVisibleRow();
            const bool rankOrder = mode != ByFileName && mode != ByLineText;
            ASSERT_TRUE((rowBefore == 0 && !rankOrder) || shown.back() == selected());
            if (rowBefore <= 0) {
                ASSERT_EQ(row, 0);
                continue;
            }
            ASSERT_EQ(selected(), before);
            for (int32_t r = 0; r < row; ++r)
                ASSERT_NE(Shown(display[r]->path, display[r]->lineNumber), before);
            ASSERT_TRUE(first <= row && row <= first + kVisible - 2) << first << " " << row;
            const bool wasVisible = row >= firstBefore && row <= firstBefore + kVisible - 2;
            ASSERT_TRUE(!wasVisible || first == firstBefore) << "scrolled " << firstBefore;
        }
    }
}

// A new sort mode keeps the selected entry and centres it as far as the ends allow.
TEST_F(ResultStoreTest, SortModesKeepAndCentreTheSelection) {
    store.setVisibleRows(10);
    for (int i = 0; i < 100; ++i)
        store.addResult(1000 - i, numbered("p", 99 - i).c_str(), 1,
                        numbered(i % 2 ? "Line" : "line", i).c_str());
    store.selectRow(49);
    const int32_t steps[][4] = {{ByFileName, -1, 50, 45}, {ByLineText, -1, 49, 44},
                                {ByLineText, 98, 98, 91}, {ByFileName, -1, 1, 0},
                                {ByRank, 2, 97, 91},      {7, 2, 2, 0}};
    for (const auto& [mode, select, row, first] : steps) {
        if (select >= 0) store.selectRow(select);
        const Shown kept = selected();
        store.setSortMode(mode);
        EXPECT_EQ(std::make_tuple(store.sortMode(), store.selectedRow(), store.firstVisibleRow()),
                  std::make_tuple(mode, row, first));
        EXPECT_EQ(selected(), kept);
    }
    store.setSortMode(ByFileName);
    EXPECT_EQ(store.displayEntry(0).rankIndex, 99);
    store.clearResults();
    store.setFirstVisibleRow(3);
    store.setSortMode(ByLineText);
    EXPECT_EQ(std::make_pair(store.selectedRow(), store.firstVisibleRow()), std::make_pair(-1, 3));
}

// The selection stays in the fully visible rows (the top one in a pane of 1-2) within the list.
TEST_F(ResultStoreTest, KeepSelectionVisible) {
    fill(50, 100, "k");
    const int32_t cases[][4] = {{20, 5, 5, 10},   {0, 8, 0, 10},    {0, 9, 1, 10}, {0, 30, 22, 10},
                                {45, 49, 41, 10}, {40, 45, 40, 10}, {5, 6, 6, 1},  {9, 5, 5, 1},
                                {0, 49, 49, 1},   {5, 6, 6, 2},     {5, 7, 6, 3},  {0, 49, 48, 3},
                                {0, 19, 1, 20},   {0, 49, 31, 20}};
    for (const auto& [first, row, expected, visibleRows] : cases) {
        store.setVisibleRows(visibleRows);
        store.setFirstVisibleRow(first);
        store.selectRow(row);
        store.keepSelectionVisible();
        EXPECT_EQ(store.firstVisibleRow(), expected) << visibleRows << " rows, row " << row;
    }
}

// A page key keeps two rows of the old page in view but moves at least one.
TEST(ResultsPaneRules, KeysMoveTheSelection) {
    const int32_t cases[][5] = {
        {KeyPageDown, 0, 100, 10, 8},   {KeyPageUp, 3, 100, 10, 0}, {KeyPageUp, 50, 100, 10, 42},
        {KeyDown, 99, 100, 10, 99},     {KeyUp, 0, 100, 10, 0},     {KeyDown, 4, 100, 10, 5},
        {KeyUp, 4, 100, 10, 3},         {KeyEnd, 4, 100, 10, 99},   {KeyHome, 40, 100, 10, 0},
        {KeyPageDown, 95, 100, 10, 99}, {KeyDown, -1, 0, 10, -1},   {KeyHome, -1, 0, 10, -1},
        {KeyPageDown, 5, 100, 1, 6},    {KeyPageUp, 5, 100, 2, 4},  {KeyPageDown, 5, 100, 3, 6},
        {KeyPageUp, 30, 100, 20, 12}};
    for (const auto& [key, selected, count, visibleRows, expected] : cases)
        EXPECT_EQ(rowForKey(key, selected, visibleRows, count).value_or(-9), expected)
            << key << " " << selected << " " << visibleRows;
    for (int32_t key : {0x25, 0x27, int32_t{'A'}})
        EXPECT_FALSE(rowForKey(key, 4, 10, 100).has_value()) << key;
}

// A direct repaint skips a row only when everything drawn there is the same.
TEST(ResultsPaneRules, RowCacheRedrawsOnlyRowsThatChanged) {
    RowPaintCache cache;
    cache.clear();
    const std::string longPath(300, 'p');
    const RowRect r0 = rowRect(0, 16);
    const ResultEntry a{0, 0, longPath, 3, ""};
    EXPECT_TRUE(cache.rowNeedsPaint(true, 0, a, r0, true));
    EXPECT_FALSE(cache.rowNeedsPaint(true, 0, a, r0, true));
    EXPECT_TRUE(cache.rowNeedsPaint(false, 0, a, r0, true)) << "WM_PAINT draws every row";
    const std::tuple<ResultEntry, RowRect, bool> changes[] = {
        {a, r0, false},
        {ResultEntry{1, 0, longPath, 3, ""}, r0, false},
        {ResultEntry{1, 0, longPath.substr(0, 299) + "q", 3, ""}, r0, false},
        {ResultEntry{1, 0, longPath, 4, ""}, r0, false},
        {ResultEntry{1, 0, longPath, 4, ""}, rowRect(0, 17), false}};
    for (const auto& [e, rect, selected] : changes) {
        EXPECT_TRUE(cache.rowNeedsPaint(true, 0, e, rect, selected));
        EXPECT_FALSE(cache.rowNeedsPaint(true, 0, e, rect, selected));
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

}  // namespace tarvo
