#include "results/results_pane_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui/pane_test_support.h"
#include "view/text_drawing_win32.h"

namespace tarvo::testing {
namespace {

constexpr COLORREF kWhitePixel = RGB(255, 255, 255);
constexpr COLORREF kBlackPixel = RGB(0, 0, 0);
constexpr COLORREF kMarkPixel = RGB(255, 255, 160);

// The rows the list actually drew (not skipped by the row cache), in order.
std::vector<int32_t> drawnRows;
void recordRow(int32_t row) {
    drawnRows.push_back(row);
}

// Results of several scores: each file holds lines of different shapes.
class ResultsPaneTest : public ProgramTest {
protected:
    static constexpr int kFiles = 50;
    static constexpr int kLinesPerFile = 4;

    void SetUp() override {
        ProgramTest::SetUp();
        sizeMainWindow();
        for (int i = 0; i < kFiles; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "tree/f%02d.c", i);
            tree.write(name,
                       "int needle(void) {\n"
                       "    x = needle;\n"
                       "// needle\n"
                       "needle\n");
        }
        search("needle", tree.path("tree"));
        program().resultsPane.rowDrawn = recordRow;
    }

    static ResultStore& store() { return program().results; }
    static HWND pane() { return program().resultsPane.window(); }
    static int rowHeight() { return lineHeight(InterfaceFont); }
    static const ResultEntry& entryAt(int32_t row) {
        store().ensureDisplayOrder();
        return store().displayEntry(row);
    }
    static LPARAM pointOnRow(int32_t viewPosition) {
        return MAKELPARAM(100, viewPosition * rowHeight() + 1);
    }
    // The preview shows the selected entry's file at its line.
    static void expectPreviewFollowsSelection() {
        const ResultEntry& selected = entryAt(store().selectedRow());
        EXPECT_EQ(program().previewPane.document().currentPath(), selected.path);
        EXPECT_EQ(program().previewPane.position().targetLine, selected.lineNumber);
        EXPECT_EQ(boxText(program().windows.fileBox), selected.path);
    }
};

TEST_F(ResultsPaneTest, SearchFillsTheList) {
    ASSERT_EQ(store().count(), kFiles * kLinesPerFile);
    RECT window;
    GetWindowRect(pane(), &window);
    const int32_t visible = store().visibleRows();
    EXPECT_EQ(visible, rowsShown(window.bottom - window.top, rowHeight()));
    ASSERT_GT(visible, 3);
    ASSERT_LT(visible, store().count());

    const SCROLLINFO bar = scrollBar(pane());
    EXPECT_EQ(bar.nMin, 0);
    EXPECT_EQ(bar.nMax, store().count());
    EXPECT_EQ(static_cast<int32_t>(bar.nPage), visible);
    EXPECT_EQ(bar.nPos, 0);

    EXPECT_EQ(store().selectedRow(), 0);
    expectPreviewFollowsSelection();

    // Drawn into a bitmap: the selected row in the highlight colours with no
    // marks, the next one black on white with the term on a yellow box.
    const int h = rowHeight();
    Dib dib(800, 3 * h);
    program().resultsPane.paint(dib.dc());
    {
        SCOPED_TRACE("the selected row");
        EXPECT_EQ(dib.at(2, h / 2), GetSysColor(COLOR_HIGHLIGHT));
        EXPECT_GT(countIn(dib, GetSysColor(COLOR_HIGHLIGHTTEXT), 0, 0, 800, h), 20);
        EXPECT_EQ(countIn(dib, kMarkPixel, 0, 0, 800, h), 0);
    }
    {
        SCOPED_TRACE("an unselected row");
        EXPECT_EQ(dib.at(2, h + h / 2), kWhitePixel);
        EXPECT_GT(countIn(dib, kBlackPixel, 0, h, 800, 2 * h), 20);
        // "needle" is in the line text only, not in the path f..c (line).
        EXPECT_EQ(countIn(dib, kMarkPixel, 0, h, kLineColumnX, 2 * h), 0);
        EXPECT_GT(countIn(dib, kMarkPixel, kLineColumnX, h, 800, 2 * h), 20);
    }
}

TEST_F(ResultsPaneTest, KeysAndMouseMoveTheSelectionAndThePreview) {
    const MainWindows& w = program().windows;
    const int32_t visible = store().visibleRows();
    const int32_t count = store().count();
    {
        SCOPED_TRACE("Down and Page Down in the Find box go to the list");
        SendMessageA(w.findBox, WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_EQ(store().selectedRow(), 1);
        expectPreviewFollowsSelection();
        SendMessageA(w.findBox, WM_KEYDOWN, VK_NEXT, 0);
        EXPECT_EQ(store().selectedRow(), 1 + visible - 2);
        expectPreviewFollowsSelection();
    }
    {
        SCOPED_TRACE("End scrolls the last entry into full view");
        SendMessageA(pane(), WM_KEYDOWN, VK_END, 0);
        EXPECT_EQ(store().selectedRow(), count - 1);
        EXPECT_EQ(store().firstVisibleRow(), count - visible + 1);
        expectPreviewFollowsSelection();
    }
    {
        SCOPED_TRACE("Home in the Find box stays with the box; in the list it selects row 0");
        SendMessageA(w.findBox, WM_KEYDOWN, VK_HOME, 0);
        EXPECT_EQ(store().selectedRow(), count - 1);
        SendMessageA(pane(), WM_KEYDOWN, VK_HOME, 0);
        EXPECT_EQ(store().selectedRow(), 0);
        EXPECT_EQ(store().firstVisibleRow(), 0);
        SendMessageA(pane(), WM_KEYDOWN, VK_RIGHT, 0);
        EXPECT_EQ(store().selectedRow(), 0);
    }
    {
        SCOPED_TRACE("a click and a drag with the left button");
        SendMessageA(pane(), WM_LBUTTONDOWN, MK_LBUTTON, pointOnRow(3));
        EXPECT_EQ(store().selectedRow(), 3);
        expectPreviewFollowsSelection();
        SendMessageA(pane(), WM_MOUSEMOVE, MK_LBUTTON, pointOnRow(5));
        EXPECT_EQ(store().selectedRow(), 5);
        expectPreviewFollowsSelection();
        SendMessageA(pane(), WM_MOUSEMOVE, 0, pointOnRow(7));
        EXPECT_EQ(store().selectedRow(), 5);
    }
    {
        SCOPED_TRACE("the wheel, through the main window, scrolls without selecting");
        RECT area;
        GetWindowRect(pane(), &area);
        const LPARAM over = MAKELPARAM(area.left + 50, area.top + 50);
        SendMessageA(w.main, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), over);
        EXPECT_EQ(store().firstVisibleRow(), 4);
        SendMessageA(w.main, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), over);
        EXPECT_EQ(store().firstVisibleRow(), 4);
        SendMessageA(w.main, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), over);
        EXPECT_EQ(store().firstVisibleRow(), 2);
        EXPECT_EQ(store().selectedRow(), 5);
        SendMessageA(pane(), WM_VSCROLL, SB_BOTTOM, 0);
        EXPECT_EQ(store().firstVisibleRow(), count - visible + 1);
        SendMessageA(pane(), WM_VSCROLL, SB_LINEUP, 0);
        EXPECT_EQ(store().firstVisibleRow(), count - visible);
        EXPECT_EQ(store().selectedRow(), 5);
    }
}

TEST_F(ResultsPaneTest, HeaderClickKeepsTheSelectedEntryAndCentresIt) {
    const MainLayout& layout = program().layout;
    const int32_t visible = store().visibleRows();
    const int32_t count = store().count();
    store().selectRow(120);
    store().keepSelectionVisible();
    const ResultEntry chosen = entryAt(120);

    const struct {
        const LayoutRect& header;
        SortMode mode;
    } clicks[] = {{layout.fileHeader, ByFileName},
                  {layout.lineHeader, ByLineText},
                  {layout.rankHeader, ByRank}};
    bool rowMoved = false;
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.mode);
        const int x = (click.header.left + click.header.right) / 2;
        const int y = (click.header.top + click.header.bottom) / 2;
        drawnRows.clear();
        SendMessageA(program().windows.main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        EXPECT_EQ(store().sortMode(), click.mode);
        const int32_t row = store().selectedRow();
        rowMoved |= row != 120;
        const ResultEntry& now = entryAt(row);
        EXPECT_EQ(now.path, chosen.path);
        EXPECT_EQ(now.lineNumber, chosen.lineNumber);
        EXPECT_EQ(now.rankIndex, chosen.rankIndex);
        EXPECT_EQ(store().firstVisibleRow(),
                  clampFirstVisibleRow(row - visible / 2, count, visible));
        EXPECT_FALSE(drawnRows.empty());  // repainted at once
    }
    EXPECT_TRUE(rowMoved);  // the sorts really moved the entry
}

TEST_F(ResultsPaneTest, RowCacheRedrawsOnlyTheRowsThatChanged) {
    const int32_t visible = store().visibleRows();
    for (int i = 0; i < 10; ++i)
        SendMessageA(pane(), WM_VSCROLL, SB_LINEDOWN, 0);
    const int32_t first = store().firstVisibleRow();
    ASSERT_EQ(first, 10);
    SendMessageA(pane(), WM_LBUTTONDOWN, MK_LBUTTON, pointOnRow(3));
    ASSERT_EQ(store().selectedRow(), first + 3);
    const auto allVisibleRows = [&](int32_t from) {
        std::vector<int32_t> rows;
        for (int32_t row = from; row < first + visible; ++row)
            rows.push_back(row);
        return rows;
    };
    {
        SCOPED_TRACE("nothing changed: nothing is drawn");
        drawnRows.clear();
        program().resultsPane.paint(nullptr);
        EXPECT_TRUE(drawnRows.empty());
    }
    {
        SCOPED_TRACE("a new best result above the view: every visible row moved and is drawn");
        const ResultEntry top = entryAt(0);
        store().addResult(top.score + 1000, top.path.c_str(), 999, "needle");
        EXPECT_EQ(store().firstVisibleRow(), first);
        EXPECT_EQ(store().selectedRow(), first + 4);  // the selection follows its entry
        drawnRows.clear();
        program().resultsPane.paint(nullptr);
        EXPECT_EQ(drawnRows, allVisibleRows(first));
    }
    {
        SCOPED_TRACE("a result below the view: nothing is drawn");
        store().addResult(-1, tree.path("zzz.c").c_str(), 0, "");
        drawnRows.clear();
        program().resultsPane.paint(nullptr);
        EXPECT_TRUE(drawnRows.empty());
    }
    {
        SCOPED_TRACE("a result inside the view: the rows from it down are drawn");
        // Equal in every key to the entry at view position 6, so it goes
        // right after it.
        const ResultEntry twin = entryAt(first + 6);
        store().addResult(twin.score, twin.path.c_str(), twin.lineNumber, twin.lineText.c_str());
        drawnRows.clear();
        program().resultsPane.paint(nullptr);
        EXPECT_EQ(drawnRows, allVisibleRows(first + 7));
    }
    {
        SCOPED_TRACE("a selection change: the old and the new selected rows");
        drawnRows.clear();
        SendMessageA(pane(), WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_EQ(drawnRows, (std::vector<int32_t>{first + 4, first + 5}));
    }
    {
        SCOPED_TRACE("WM_PAINT draws every visible row");
        drawnRows.clear();
        InvalidateRect(pane(), nullptr, FALSE);
        UpdateWindow(pane());
        EXPECT_EQ(drawnRows, allVisibleRows(first));
    }
}

TEST_F(ResultsPaneTest, LongPathIsFittedToItsColumn) {
    // Longer than the 263 characters a fixed cache slot would hold; the
    // file does not exist, so the preview shows nothing for it.
    const std::string longPath = tree.path(std::string(299 - tree.root().size(), 'p'));
    store().addResult(entryAt(0).score + 1000, longPath.c_str(), 1, "needle");
    ASSERT_EQ(entryAt(0).path, longPath);
    EXPECT_EQ(program().previewPane.document().currentPath(), longPath);
    EXPECT_EQ(program().previewPane.document().lineCount(), 0);
    EXPECT_EQ(boxText(program().windows.fileBox), longPath);

    SendMessageA(pane(), WM_KEYDOWN, VK_DOWN, 0);  // row 0 unselected: black on white
    const int h = rowHeight();
    Dib dib(800, 2 * h);
    program().resultsPane.paint(dib.dc());
    EXPECT_GT(countIn(dib, kBlackPixel, kPathColumnX, 0, kPathColumnX + kPathFitWidth, h), 20);
    // Fitted to 390 pixels: nothing between the path and the line column.
    EXPECT_EQ(countIn(dib, kWhitePixel, kPathColumnX + kPathFitWidth + 1, 0, kLineColumnX, h),
              (kLineColumnX - kPathColumnX - kPathFitWidth - 1) * h);
}

TEST_F(ResultsPaneTest, ASecondPaneServesItsOwnStoreThroughItsWindow) {
    // Its window procedure finds the pane from the window itself, so a key
    // sent to it moves the selection of its store and leaves the program's.
    ResultStore ownStore;
    TermTable ownTerms;
    ResultsPane second(ownStore, ownTerms);
    second.create(windows().main, "Second", WS_CHILD, GetModuleHandleA(nullptr));
    for (int line = 1; line <= 3; ++line)
        ownStore.addResult(1000 - line, "own.c", line, "text");
    const int32_t programSelection = store().selectedRow();
    SendMessageA(second.window(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(ownStore.selectedRow(), 1);
    EXPECT_EQ(store().selectedRow(), programSelection);
    SendMessageA(pane(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(ownStore.selectedRow(), 1);
    EXPECT_EQ(store().selectedRow(), programSelection + 1);
    DestroyWindow(second.window());
}

}  // namespace
}  // namespace tarvo::testing
