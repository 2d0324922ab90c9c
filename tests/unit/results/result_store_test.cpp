#include "results/result_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {
namespace {

// Records what the store asks of the views.
struct FakeViews : ResultViews {
    std::vector<std::pair<std::string, int32_t>> shown;
    int repaints = 0;
    int forgets = 0;
    void showFile(const char* path, int32_t lineNumber) override {
        shown.emplace_back(path, lineNumber);
    }
    void repaintList() override { ++repaints; }
    void forgetRowCache() override { ++forgets; }
};

std::string numbered(const char* prefix, int i) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%05d", prefix, i);
    return name;
}

// The display order as "path:line:text" strings.
std::vector<std::string> displayed(ResultStore& store) {
    store.ensureDisplayOrder();
    std::vector<std::string> rows;
    for (int32_t r = 0; r < store.count(); ++r) {
        const ResultEntry& e = store.displayEntry(r);
        rows.push_back(e.path + ":" + std::to_string(e.lineNumber) + ":" + e.lineText);
    }
    return rows;
}

TEST(ResultStore, RankOrderAndTieBreaks) {
    ResultStore store;
    store.clearResults();
    store.addResult(5, "dir/abd.c", 1, "x");
    store.addResult(5, "dir/Abc.c", 9, "x");       // folded "abc" < "abd"
    store.addResult(7, "dir/z.c", 3, "x");         // higher score first
    store.addResult(5, "dir/abd.c", 0, "x");       // same path: smaller line first
    store.addResult(5, "dir/abd.c", 1, "second");  // fully equal: after the first
    store.addResult(5, "dir/x_", 1, "x");          // '_' (0x5F) sorts before folded 'a'
    store.addResult(5, "dir/xA", 1, "x");
    store.addResult(5, "dir/x", 1, "x");      // a prefix sorts first
    store.addResult(5, "dir/x\xe9", 1, "x");  // bytes compare unsigned: 0xE9 after 'a'
    store.addResult(-1, "dir/a.c", 0, "");    // file-name entries after every score >= 0
    store.addResult(0, "dir/zz.c", 4, "x");
    store.addResult(-1, "dir/B.c", 0, "");
    EXPECT_EQ(
        displayed(store),
        (std::vector<std::string>{"dir/z.c:3:x", "dir/Abc.c:9:x", "dir/abd.c:0:x", "dir/abd.c:1:x",
                                  "dir/abd.c:1:second", "dir/x:1:x", "dir/x_:1:x", "dir/xA:1:x",
                                  "dir/x\xe9:1:x", "dir/zz.c:4:x", "dir/a.c:0:", "dir/B.c:0:"}));
    for (int32_t r = 0; r < store.count(); ++r)
        EXPECT_EQ(store.displayEntry(r).rankIndex, r);

    std::vector<std::string> visited;
    store.visitInRankOrder([&](const char* path, int32_t position) {
        visited.push_back(std::to_string(position) + path);
    });
    EXPECT_EQ(visited.front(), "0dir/z.c");
    EXPECT_EQ(visited.back(), "11dir/B.c");
}

TEST(ResultStore, FullStore) {
    FakeViews views;
    ResultStore store(&views);
    store.clearResults();
    EXPECT_TRUE(store.couldEnter(-1, "z", 1)) << "not full";
    for (int i = 0; i < kMaxResults; ++i)
        store.addResult(100, numbered("f", i).c_str(), 1, "t");
    ASSERT_EQ(store.count(), kMaxResults);
    const auto before = views.shown.size();

    {
        SCOPED_TRACE("could a line enter: against the last entry, 100 f09998:1, case folded");
        const struct {
            int32_t score;
            const char* path;
            int32_t line;
            bool expected;
        } rows[] = {
            {101, "z", 1, true},       {99, "a", 1, false},      {100, "F09997", 9, true},
            {100, "F09999", 0, false}, {100, "f09998", 0, true}, {100, "f09998", 1, false},
            {100, "f09998", 2, false},
        };
        for (const auto& row : rows)
            EXPECT_EQ(store.couldEnter(row.score, row.path, row.line), row.expected)
                << row.score << " " << row.path << ":" << row.line;
    }

    {
        SCOPED_TRACE("worse than every kept entry: nothing changes");
        store.addResult(100, numbered("f", 99999).c_str(), 1, "t");
        store.addResult(99, "a", 1, "t");
        EXPECT_EQ(store.count(), kMaxResults);
        EXPECT_EQ(store.rankEntry(kMaxResults - 1).path, numbered("f", kMaxResults - 1));
        EXPECT_EQ(views.shown.size(), before);
    }
    {
        SCOPED_TRACE("better: inserted, the former last entry leaves");
        store.addResult(100, numbered("f", 500).c_str(), 0, "new");
        EXPECT_EQ(store.count(), kMaxResults);
        EXPECT_EQ(store.rankEntry(500).lineText, "new");
        EXPECT_EQ(store.rankEntry(kMaxResults - 1).path, numbered("f", kMaxResults - 2));
    }
    {
        SCOPED_TRACE("file-name entries alone: by path; one enters only before the last path");
        store.clearResults();
        for (int i = 0; i < kMaxResults; ++i)
            store.addResult(-1, numbered("p", i * 2).c_str(), 0, "");
        const std::string last = store.rankEntry(kMaxResults - 1).path;
        store.addResult(-1, numbered("p", kMaxResults * 2).c_str(), 0, "");
        EXPECT_EQ(store.rankEntry(kMaxResults - 1).path, last);
        store.addResult(-1, numbered("p", 3).c_str(), 0, "");
        EXPECT_EQ(store.rankEntry(2).path, numbered("p", 3));
        EXPECT_EQ(store.rankEntry(kMaxResults - 1).path, numbered("p", (kMaxResults - 2) * 2));
    }
}

TEST(ResultStore, SelectionFollowsRules) {
    FakeViews views;
    ResultStore store(&views);
    store.setVisibleRows(4);
    store.clearResults();
    ASSERT_EQ(views.shown.back(), std::make_pair(std::string(""), 0));
    views.shown.clear();

    store.addResult(10, "b.c", 3, "t");
    EXPECT_EQ(store.selectedRow(), 0);
    ASSERT_EQ(views.shown.size(), 1u);
    EXPECT_EQ(views.shown.back(), std::make_pair(std::string("b.c"), 3));

    store.addResult(20, "a.c", 7, "t");  // new best with the selection on row 0
    ASSERT_EQ(views.shown.size(), 2u);
    EXPECT_EQ(views.shown.back(), std::make_pair(std::string("a.c"), 7));

    store.addResult(5, "c.c", 1, "t");  // not the best: preview left alone
    EXPECT_EQ(views.shown.size(), 2u);
    EXPECT_FALSE(store.displayOrderValid());
    EXPECT_EQ(store.selectedRow(), 0);

    for (int i = 0; i < 10; ++i)
        store.addResult(1, numbered("z", i).c_str(), 1, "t");
    store.selectRow(5);
    ASSERT_EQ(views.shown.size(), 3u);
    const auto selected = views.shown.back();
    store.addResult(15, "m.c", 2, "t");  // ranks above the selected entry
    EXPECT_EQ(store.selectedRow(), 6);
    EXPECT_EQ(views.shown.back(), selected);
    EXPECT_EQ(store.firstVisibleRow(), 6 - 4 + 2);  // scrolled just enough

    store.addResult(0, "y.c", 1, "t");  // ranks below: the row stays
    EXPECT_EQ(store.selectedRow(), 6);

    {
        SCOPED_TRACE("rows outside the list are ignored");
        const auto calls = views.shown.size();
        store.selectRow(store.count());
        store.selectRow(-1);
        EXPECT_EQ(store.selectedRow(), 6);
        EXPECT_EQ(views.shown.size(), calls);
    }
}

TEST(ResultStore, SelectionOnReleasedOrDuplicateEntry) {
    FakeViews views;
    ResultStore store(&views);
    store.setVisibleRows(10);
    store.clearResults();
    for (int i = 0; i < kMaxResults; ++i)
        store.addResult(50, numbered("f", i).c_str(), 1, "t");
    {
        SCOPED_TRACE("the selected last entry is released: row 0");
        store.selectRow(kMaxResults - 1);
        store.addResult(60, "best.c", 1, "t");
        EXPECT_EQ(store.selectedRow(), 0);
        EXPECT_EQ(views.shown.back(), std::make_pair(std::string("best.c"), 1));
    }
    {
        SCOPED_TRACE("a later duplicate of (path, line) is selected: the first one wins");
        store.clearResults();
        store.addResult(9, "dup.c", 4, "first");
        store.addResult(8, "other.c", 1, "t");
        store.addResult(7, "dup.c", 4, "second");
        store.selectRow(2);
        store.addResult(1, "late.c", 1, "t");
        EXPECT_EQ(store.selectedRow(), 0);
        EXPECT_EQ(store.displayEntry(0).lineText, "first");
    }
    {
        SCOPED_TRACE("the same in ByFileName order");
        store.clearResults();
        store.setSortMode(ByFileName);
        store.addResult(9, "b.c", 4, "t");
        store.addResult(8, "a.c", 1, "t");
        store.addResult(7, "c.c", 1, "t");
        store.selectRow(2);  // c.c
        store.addResult(20, "a0.c", 1, "t");
        EXPECT_EQ(store.selectedRow(), 3);
        EXPECT_EQ(store.displayEntry(3).path, "c.c");
        store.setSortMode(ByRank);
    }
}

// A literal model of the store, with a linear insert walk and a copied
// display order, to hold the fast paths to the same results.
class ModelStore {
public:
    struct Entry {
        int32_t score;
        std::string path;
        int32_t line;
        std::string text;
    };
    std::vector<Entry> rank, display;
    bool valid = false;
    int32_t mode = ByRank, selected = -1, first = 0, visible = 7;
    std::vector<std::pair<std::string, int32_t>> shown;

    // Folded comparison written out byte by byte, independently of the store.
    static int compare(const std::string& a, const std::string& b) {
        for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
            unsigned char x = a[i], y = b[i];
            if (x >= 'A' && x <= 'Z') x += 32;
            if (y >= 'A' && y <= 'Z') y += 32;
            if (x != y) return x < y ? -1 : 1;
        }
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }
    static bool before(const Entry& a, const Entry& b) {
        if (a.score != b.score) return a.score > b.score;
        if (int c = compare(a.path, b.path)) return c < 0;
        return a.line < b.line;
    }
    void ensure() {
        if (valid) return;
        display = rank;
        if (mode == ByFileName) {
            std::stable_sort(display.begin(), display.end(), [](const Entry& a, const Entry& b) {
                if (int c = compare(a.path, b.path)) return c < 0;
                return a.line < b.line;
            });
        }
        valid = true;
    }
    void add(int32_t score, std::string path, int32_t line, std::string text) {
        Entry e{score, std::move(path), line, std::move(text)};
        size_t p = 0;
        while (p < rank.size() && !before(e, rank[p]))
            ++p;
        bool remembered = false;
        std::string rpath;
        int32_t rline = 0;
        if (selected > 0) {
            ensure();
            remembered = true;
            rpath = display[selected].path;
            rline = display[selected].line;
        }
        rank.insert(rank.begin() + p, e);
        valid = false;
        if (selected == -1 || (selected == 0 && p == 0)) {
            ensure();
            selected = 0;
            shown.emplace_back(display[0].path, display[0].line);
            return;
        }
        if (!remembered) return;
        ensure();
        selected = 0;
        for (size_t r = 0; r < display.size(); ++r) {
            if (display[r].line == rline && display[r].path == rpath) {
                selected = static_cast<int32_t>(r);
                break;
            }
        }
        shown.emplace_back(display[selected].path, display[selected].line);
        int32_t t = first;
        if (selected < t) t = selected;
        if (selected > t + visible - 2) t = selected - visible + 2;
        int32_t n = static_cast<int32_t>(rank.size());
        if (t >= n - visible + 1) t = n - visible + 1;
        first = t > 0 ? t : 0;
    }
};

TEST(ResultStore, MatchesLiteralModelWithDuplicates) {
    for (int32_t mode : {ByRank, ByFileName}) {
        SCOPED_TRACE(mode);
        FakeViews views;
        ResultStore store(&views);
        ModelStore model;
        store.setVisibleRows(model.visible);
        store.clearResults();
        store.setSortMode(mode);
        model.mode = mode;
        views.shown.clear();
        std::mt19937 random(7 + mode);
        for (int step = 0; step < 800; ++step) {
            const int32_t count = store.count();
            if (count > 0 && random() % 5 == 0) {
                const int32_t row = static_cast<int32_t>(random() % count);
                store.selectRow(row);
                model.ensure();
                model.selected = row;
                model.shown.emplace_back(model.display[row].path, model.display[row].line);
                continue;
            }
            const int32_t score = static_cast<int32_t>(random() % 6);
            const std::string path =
                std::string(random() % 2 ? "D" : "d") + "/" + std::to_string(random() % 4);
            const int32_t line = static_cast<int32_t>(random() % 3);
            const std::string text = std::to_string(step);
            store.addResult(score, path.c_str(), line, text.c_str());
            model.add(score, path, line, text);
            ASSERT_EQ(store.selectedRow(), model.selected) << "step " << step;
            ASSERT_EQ(store.firstVisibleRow(), model.first) << "step " << step;
            ASSERT_EQ(views.shown, model.shown) << "step " << step;
        }
        model.ensure();
        std::vector<std::string> expected;
        for (const auto& e : model.display) {
            expected.push_back(e.path + ":" + std::to_string(e.line) + ":" + e.text);
        }
        EXPECT_EQ(displayed(store), expected);
    }
}

TEST(ResultStore, SortModesAndCentring) {
    FakeViews views;
    ResultStore store(&views);
    store.setVisibleRows(10);
    store.clearResults();
    for (int i = 0; i < 100; ++i) {
        // Rank order is the reverse of path order; line texts run the other way.
        store.addResult(1000 - i, numbered("p", 99 - i).c_str(), 1,
                        numbered(i % 2 ? "Line" : "line", i).c_str());
    }
    store.selectRow(49);  // path p00050
    const auto shownBefore = views.shown.size();

    store.setSortMode(ByFileName);
    EXPECT_EQ(store.sortMode(), ByFileName);
    EXPECT_EQ(store.selectedRow(), 50);
    EXPECT_EQ(store.displayEntry(50).path, numbered("p", 50));
    EXPECT_EQ(store.displayEntry(50).rankIndex, 49);  // the Rank column shows 50
    EXPECT_EQ(store.displayEntry(0).rankIndex, 99);
    EXPECT_EQ(store.firstVisibleRow(), 45);
    EXPECT_EQ(views.shown.size(), shownBefore);  // the same entry stays selected
    EXPECT_EQ(views.repaints, 1);

    store.setSortMode(ByLineText);  // line00000, Line00001, ... folded
    EXPECT_EQ(store.displayEntry(3).lineText, "Line00003");
    EXPECT_EQ(store.selectedRow(), 49);

    store.selectRow(98);
    store.setSortMode(ByLineText);  // same mode again: centred as near the end as allowed
    EXPECT_EQ(store.firstVisibleRow(), 100 - 10 + 1);
    store.setSortMode(ByFileName);  // the same entry, path p00001: as near the top as allowed
    EXPECT_EQ(store.selectedRow(), 1);
    EXPECT_EQ(store.firstVisibleRow(), 0);
    store.selectRow(2);  // p00002, rank position 97
    store.setSortMode(ByRank);
    EXPECT_EQ(store.selectedRow(), 97);
    EXPECT_EQ(store.firstVisibleRow(), 91);
    store.selectRow(2);
    store.setSortMode(7);  // an unknown mode behaves as ByRank
    EXPECT_EQ(store.sortMode(), 7);
    EXPECT_EQ(store.selectedRow(), 2);
    EXPECT_EQ(store.firstVisibleRow(), 0);
    EXPECT_EQ(store.displayEntry(0).path, numbered("p", 99));

    {
        SCOPED_TRACE("no selection: only the order changes");
        store.clearResults();
        store.setFirstVisibleRow(3);
        store.setSortMode(ByFileName);
        EXPECT_EQ(store.selectedRow(), -1);
        EXPECT_EQ(store.firstVisibleRow(), 3);
    }
}

TEST(ResultStore, KeepSelectionVisible) {
    ResultStore store;
    store.clearResults();
    for (int i = 0; i < 50; ++i)
        store.addResult(100 - i, numbered("k", i).c_str(), 1, "t");
    struct Case {
        int32_t first, selected, expected;
        int32_t visibleRows = 10;
    } cases[] = {{20, 5, 5},     {0, 8, 0},      {0, 9, 1},      {0, 30, 22},    {45, 49, 41},
                 {40, 45, 40},   {5, 6, 6, 1},   {5, 5, 5, 1},   {9, 5, 5, 1},   {0, 49, 49, 1},
                 {5, 6, 6, 2},   {5, 5, 5, 2},   {0, 49, 49, 2}, {5, 6, 5, 3},   {5, 7, 6, 3},
                 {0, 49, 48, 3}, {0, 18, 0, 20}, {0, 19, 1, 20}, {0, 49, 31, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.visibleRows << " rows, row " << c.selected);
        store.setVisibleRows(c.visibleRows);
        store.setFirstVisibleRow(c.first);
        store.selectRow(c.selected);
        store.keepSelectionVisible();
        EXPECT_EQ(store.firstVisibleRow(), c.expected);
    }
}

TEST(ResultStore, ClearResults) {
    FakeViews views;
    ResultStore store(&views);
    store.setVisibleRows(12);
    store.setSortMode(ByLineText);
    store.addResult(3, "a", 1, "t");
    store.addResult(2, "b", 1, "t");
    store.selectRow(1);
    store.setFirstVisibleRow(1);
    store.clearResults();
    EXPECT_EQ(store.count(), 0);
    EXPECT_EQ(store.selectedRow(), -1);
    EXPECT_EQ(store.firstVisibleRow(), 0);
    EXPECT_EQ(store.sortMode(), ByLineText);
    EXPECT_EQ(store.visibleRows(), 12);
    EXPECT_FALSE(store.displayOrderValid());
    EXPECT_EQ(views.shown.back(), std::make_pair(std::string(""), 0));
    EXPECT_EQ(views.forgets, 1);
    store.addResult(1, "c", 1, "t");  // a new run starts selecting again
    EXPECT_EQ(store.selectedRow(), 0);
}

TEST(ResultStore, WorksWithoutViews) {
    ResultStore store;  // the terminal front end has no views
    store.clearResults();
    store.addResult(1, nullptr, 1, nullptr);
    store.addResult(2, "a", 1, "t");
    store.selectRow(1);
    store.addResult(3, "b", 1, "t");
    store.setSortMode(ByFileName);
    store.keepSelectionVisible();
    EXPECT_EQ(store.count(), 3);
    EXPECT_EQ(store.displayEntry(store.selectedRow()).path, "");
}

}  // namespace
}  // namespace tarvo
