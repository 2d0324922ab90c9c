#include <gtest/gtest.h>
#include "engine/term_table.h"
#include "results/line_column.h"
#include "results/list_columns.h"
#include "results/result_store.h"
#include "results/results_pane_rules.h"
#include "support/repeated.h"
#include "view/text_class.h"

namespace tarvo {
using Shown = std::pair<std::string, int32_t>;

std::string numbered(const char* prefix, int i) {  // zero-padded: sorts as the number
    return std::string(prefix).append(std::to_string(100000 + i), 1);
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
    store.setSortMode(SortMode::ByFileName);  // the selected line makes room: row 0 is selected
    store.selectRow(kMaxResults - 1);
    store.setFirstVisibleRow(kMaxResults - 9);
    store.addResult(200, "zz.c", 1, "t");
    EXPECT_EQ(std::make_tuple(store.selectedRow(), store.firstVisibleRow(), shown.back()),
              std::make_tuple(0, 0, Shown("best.c", 1)));
    EXPECT_EQ(store.displayEntry(kMaxResults - 1).path, "zz.c");
    store.setSortMode(SortMode::ByRank);
    store.clearResults();
    fill(kMaxResults, -1, "p", 2);
    store.addResult(-1, numbered("p", kMaxResults * 2).c_str(), 0, "");
    store.addResult(-1, numbered("p", 3).c_str(), 0, "");
    EXPECT_EQ(store.rankEntry(2).path, numbered("p", 3));
    EXPECT_EQ(store.rankEntry(kMaxResults - 1).path, numbered("p", (kMaxResults - 2) * 2));
}

// A line arriving above, below, at the selected one: it stays the previewed one (rank row 0 moves).
TEST_F(ResultStoreTest, TheSelectionAndThePreviewStayTogether) {
    using enum SortMode;
    using Arrival = std::tuple<int32_t, const char*, const char*>;  // score, path, text
    const Arrival above{400, "a.c", "aa"}, below{50, "x.c", "xx"}, best{500, "z.c", "zz"};
    const Arrival onRow1{250, "e.c", "ee"};  // lands exactly on rank row 1
    const Arrival twins[] = {{300, "d.c", "dd"}, {200, "f.c", "bb"}, {100, "b.c", "ff"}};
    // Rank: d f b. File name: b d f. Line: f d b.
    const std::tuple<SortMode, int32_t, Arrival, const char*, int32_t> rows[] = {
        {ByRank, 0, best, "z.c", 0},         {ByRank, 0, below, "d.c", 0},
        {ByRank, 0, twins[0], "d.c", 0},     {ByRank, 1, above, "f.c", 2},
        {ByRank, 1, below, "f.c", 1},        {ByRank, 1, twins[1], "f.c", 1},
        {ByRank, 1, onRow1, "f.c", 2},       {ByFileName, 0, above, "b.c", 1},
        {ByFileName, 0, best, "b.c", 0},     {ByFileName, 0, twins[2], "b.c", 0},
        {ByFileName, 1, above, "d.c", 2},    {ByFileName, 1, below, "d.c", 1},
        {ByLineText, 0, above, "f.c", 1},    {ByLineText, 0, below, "f.c", 0},
        {ByLineText, 0, twins[1], "f.c", 0}, {ByLineText, 2, best, "b.c", 2},
        {ByLineText, 2, above, "b.c", 3}};
    for (const auto& [mode, row, arrival, kept, keptRow] : rows) {
        SCOPED_TRACE(::testing::Message()
                     << static_cast<int>(mode) << " row " << row << " + " << std::get<1>(arrival));
        store.clearResults();
        store.setVisibleRows(10);
        store.setSortMode(mode);
        for (const auto& [score, path, text] : twins)
            store.addResult(score, path, 1, text);
        store.selectRow(row);
        store.addResult(std::get<0>(arrival), std::get<1>(arrival), 1, std::get<2>(arrival));
        EXPECT_EQ(std::make_pair(selected(), store.selectedRow()),
                  std::make_pair(Shown(kept, 1), keptRow));
        EXPECT_EQ(shown.back(), selected());
    }
}

// A first term past the Line column's end: "…" and the line from kRowLeadCharacters before it.
TEST_F(ResultStoreTest, TheLineColumnShowsTheFirstTerm) {
    TermTable terms;
    terms.parseTerms("needle");
    int pixelsPerByte = 1;
    const WidthFunction bytes = [&](const char*, int n) { return n * pixelsPerByte; };
    const std::string e20 = testing::repeated(20, "\xc3\xa9"), mark = "\xe2\x80\xa6";
    const std::string x40 = std::string(40, 'x') + "needle";
    const std::tuple<std::string, int32_t, std::string> rows[] = {
        {"int needle;", 10, "int needle;"},  // the term is near the start: never cut
        {x40, 46, x40},
        {x40, 45, mark + x40.substr(30)},
        {x40, 0, x40},  // width unknown
        {e20 + "\tneedle", 20, mark + e20.substr(22) + "\tneedle"},
        {mark + std::string(30, 'x') + "needle x", 20, mark + std::string(10, 'x') + "needle x"},
        {mark + std::string(10, 'x') + "needle", 5, mark + std::string(10, 'x') + "needle"},
        {std::string(60, 'x'), 5, std::string(60, 'x')}};
    for (const auto& [line, width, shown] : rows) {
        SCOPED_TRACE(::testing::Message() << line << " in " << width);
        StoredEntry entry;
        entry.lineText = line;
        entry.cut = lineCut(line, terms, bytes);
        entry.shownFrom = shownFrom(entry.cut, width);
        EXPECT_EQ(shownLineText(entry), shown);
    }
    store.setLineColumn(&terms, bytes);
    store.setLineColumnWidth(20);
    store.setSortMode(SortMode::ByLineText);
    store.addResult(3, "a.c", 1, "b needle");
    store.addResult(2, "b.c", 1, (std::string(40, 'a') + "needle").c_str());  // cut: sorts after
    store.addResult(1, "c.c", 1, "c needle");
    store.selectRow(1);
    const auto order = [&] {
        std::string paths;
        for (int32_t row = 0; row < store.count(); ++row)
            paths += store.displayEntry(row).path.substr(0, 1);
        return paths + " " + std::to_string(store.selectedRow());
    };
    EXPECT_EQ(order(), "acb 1");
    EXPECT_TRUE(store.setLineColumnWidth(100));
    EXPECT_EQ(order(), "bac 2") << "the selected c.c row follows its entry";
    EXPECT_FALSE(store.setLineColumnWidth(100) || store.setLineColumnWidth(90))
        << "no text changed";
    pixelsPerByte = 3;  // a font three times as wide: b.c's term now ends past the column
    EXPECT_TRUE(store.remeasureLineColumn());
    EXPECT_EQ(order(), "acb 1");
    EXPECT_EQ(shown.back(), Shown("c.c", 1));
}

// A new sort mode keeps the selected entry and centres it as far as the ends allow.
TEST_F(ResultStoreTest, SortModesAndScrollsKeepTheSelectionInView) {
    store.setVisibleRows(10);
    for (int i = 0; i < 100; ++i)
        store.addResult(1000 - i, numbered("p", 99 - i).c_str(), 1,
                        numbered(i % 2 ? "Line" : "line", i).c_str());
    store.selectRow(49);
    store.selectRow(100);  // past the last row: ignored
    constexpr SortMode kOther = static_cast<SortMode>(7);
    const std::tuple<SortMode, int32_t, int32_t, int32_t> steps[] = {
        {SortMode::ByFileName, -1, 50, 45}, {SortMode::ByLineText, -1, 49, 44},
        {SortMode::ByLineText, 98, 98, 91}, {SortMode::ByFileName, -1, 1, 0},
        {SortMode::ByRank, 2, 97, 91},      {kOther, 2, 2, 0}};
    for (const auto& [mode, select, row, first] : steps) {
        if (select >= 0) store.selectRow(select);
        const Shown kept = selected();
        store.setSortMode(mode);
        EXPECT_EQ(std::make_tuple(store.sortMode(), store.selectedRow(), store.firstVisibleRow()),
                  std::make_tuple(mode, row, first));
        EXPECT_EQ(selected(), kept);
    }
    store.setSortMode(SortMode::ByFileName);
    EXPECT_EQ(store.displayEntry(0).rankIndex, 99);
    store.clearResults();
    store.setFirstVisibleRow(3);
    store.setSortMode(SortMode::ByLineText);
    EXPECT_EQ(std::make_pair(store.selectedRow(), store.firstVisibleRow()), std::make_pair(-1, 3));
    // The selection kept in the fully visible rows (the top one in a pane of 1-2).
    fill(50, 100, "k");
    const int32_t visible[][4] = {
        {20, 5, 5, 10},   {0, 8, 0, 10},  {0, 9, 1, 10},  {0, 30, 22, 10}, {45, 49, 41, 10},
        {40, 45, 40, 10}, {5, 6, 6, 1},   {9, 5, 5, 1},   {0, 49, 49, 1},  {5, 6, 6, 2},
        {5, 7, 6, 3},     {0, 49, 48, 3}, {0, 19, 1, 20}, {0, 49, 31, 20}};
    for (const auto& [first, row, expected, visibleRows] : visible) {
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

// Fitting takes the widest text whole, and its indents.
TEST(ListColumns, FittingTakesTheWidestText) {
    const WidthFunction sevenEach = [](const char*, int n) { return 7 * n; };
    EXPECT_EQ(widestTextWidth({"Rank", "9", "10", "9999"}, sevenEach, 96), 38);
    EXPECT_EQ(widestTextWidth({"File name (line number)", "C:\\a.c (1)"}, sevenEach, 144), 177);
}

}  // namespace tarvo
