// The results list and the preview on the real main window: what their rows
// look like in pixels, which rows the list's cache redraws, and how keys,
// clicks, the wheel and header clicks move the selection and the preview.
#include <filesystem>
#include <memory>

#include "gui/gui_support.h"
#include "results/results_pane_win32.h"
#include "view/text_class.h"

namespace tarvo::testing {
namespace {

constexpr COLORREF kGreenPixel = RGB(0, 128, 0);
constexpr COLORREF kBluePixel = RGB(0, 0, 255);

std::vector<int32_t> drawnRows;  // the rows the list drew, not skipped by its cache

class Panes : public ProgramTest {
protected:
    // 50 files of 4 lines of different shapes and scores.
    void fillList() {
        for (int i = 0; i < 50; ++i)
            tree.write("tree/f" + std::to_string(10 + i) + ".c",
                       "int needle(void) {\n    x = needle;\n// needle\nneedle\n");
        search("needle", tree.path("tree"));
        ASSERT_EQ(store().count(), 200);
        p().resultsPane.rowDrawn = [](int32_t row) { drawnRows.push_back(row); };
    }
    static ResultStore& store() { return p().results; }
    static HWND list() { return p().resultsPane.window(); }
    static const ResultEntry& entryAt(int32_t row) {
        store().ensureDisplayOrder();
        return store().displayEntry(row);
    }
    static LPARAM pointOnRow(int32_t viewRow) {
        return MAKELPARAM(100, viewRow * lineHeight(InterfaceFont) + 1);
    }
    static std::vector<int32_t> rowsFrom(int32_t from) {
        std::vector<int32_t> rows;
        for (int32_t row = from; row < store().firstVisibleRow() + store().visibleRows(); ++row)
            rows.push_back(row);
        return rows;
    }
    // The preview shows the selected entry's file at its line.
    static void expectPreviewFollowsSelection() {
        const ResultEntry& selected = entryAt(store().selectedRow());
        EXPECT_EQ(p().previewPane.document().currentPath(), selected.path);
        EXPECT_EQ(p().previewPane.position().targetLine, selected.lineNumber);
        EXPECT_EQ(boxText(windows().fileBox), selected.path);
    }
    static int previewHeight() {
        return p().previewPane.position().visibleLines * lineHeight(PreviewFont);
    }
    static std::unique_ptr<Dib> paintPreview() {
        // Black, so that every pixel the paint leaves alone shows.
        auto dib = std::make_unique<Dib>(600, previewHeight());
        PatBlt(dib->dc(), 0, 0, 600, previewHeight(), BLACKNESS);
        p().previewPane.paint(dib->dc());
        return dib;
    }
    // Pixels of `colour` in row `row` that stand in a column holding a
    // pixel of `column`'s colour: text drawn on a mark box.
    static int onColumnsWith(const Dib& dib, int row, COLORREF colour, COLORREF column) {
        const int h = lineHeight(PreviewFont);
        int n = 0;
        for (int x = 0; x < 600; ++x)
            if (dib.count(column, x, row * h, x + 1, (row + 1) * h) > 0)
                n += dib.count(colour, x, row * h, x + 1, (row + 1) * h);
        return n;
    }
};

// The selected row in the highlight colours with no marks; another row
// black on white with the term, in the line text only, on a yellow box.
TEST_F(Panes, SelectedAndMarkedRowsHaveTheirColours) {
    fillList();
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    GetScrollInfo(list(), SB_VERT, &bar);
    EXPECT_EQ(bar.nMax, 200);
    EXPECT_EQ(static_cast<int32_t>(bar.nPage), store().visibleRows());
    EXPECT_EQ(store().selectedRow(), 0);
    expectPreviewFollowsSelection();

    const int h = lineHeight(InterfaceFont);
    Dib dib(800, 3 * h);
    p().resultsPane.paint(dib.dc());
    EXPECT_EQ(dib.at(2, h / 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(dib.count(GetSysColor(COLOR_HIGHLIGHTTEXT), 0, 0, 800, h), 20);
    EXPECT_EQ(dib.count(kMarkPixel, 0, 0, 800, h), 0);
    EXPECT_EQ(dib.at(2, h + h / 2), kWhitePixel);
    EXPECT_GT(dib.count(kBlackPixel, 0, h, 800, 2 * h), 20);
    EXPECT_EQ(dib.count(kMarkPixel, 0, h, kLineColumnX, 2 * h), 0);
    EXPECT_GT(dib.count(kMarkPixel, kLineColumnX, h, 800, 2 * h), 20);

    // A mark box is exactly as wide as its text, a tab filling to the run's
    // fourth column, and the keyword after it is blue.
    Dib run(200, 30);
    SelectObject(run.dc(), GetStockObject(DC_PEN));
    SelectObject(run.dc(), GetStockObject(DC_BRUSH));
    SelectObject(run.dc(), fontHandle(InterfaceFont));
    SetBkMode(run.dc(), TRANSPARENT);
    const uint8_t attrs[] = {Plain, MarkBit | Plain, MarkBit | Plain, Keyword};
    drawMarkedText(run.dc(), "ab\tc", attrs, 10, 5, 25);
    SIZE a, b;
    GetTextExtentPoint32A(run.dc(), "a", 1, &a);
    GetTextExtentPoint32A(run.dc(), "b   ", 4, &b);
    const int left = 10 + a.cx, right = left + b.cx;
    for (int y : {4, 5, 24, 25}) {
        const int width = (y == 5 || y == 24) ? b.cx : 0;
        EXPECT_EQ(run.count(kMarkPixel, left, y, right, y + 1), width) << y;
        EXPECT_EQ(run.count(kMarkPixel, 0, y, 200, y + 1), width) << y;
    }
    EXPECT_GT(run.count(kBluePixel, right, 5, 200, 25), 5);
}

TEST_F(Panes, KeysClicksAndTheWheelMoveTheSelectionAndThePreview) {
    fillList();
    const int32_t visible = store().visibleRows();
    RECT area;
    GetWindowRect(list(), &area);
    const LPARAM over = MAKELPARAM(area.left + 50, area.top + 50);
    const struct {
        const char* label;
        HWND window;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        int32_t selected, first;  // afterwards
    } steps[] = {
        {"Down in the Find box", windows().findBox, WM_KEYDOWN, VK_DOWN, 0, 1, 0},
        {"Page Down in the Path box", windows().pathBox, WM_KEYDOWN, VK_NEXT, 0, visible - 1, 1},
        {"End in the list", list(), WM_KEYDOWN, VK_END, 0, 199, 201 - visible},
        {"Home in the Find box stays there", windows().findBox, WM_KEYDOWN, VK_HOME, 0, 199,
         201 - visible},
        {"Page Up in the Find box", windows().findBox, WM_KEYDOWN, VK_PRIOR, 0, 201 - visible,
         201 - visible},
        {"Up in the File box", windows().fileBox, WM_KEYDOWN, VK_UP, 0, 200 - visible,
         200 - visible},
        {"Home in the list", list(), WM_KEYDOWN, VK_HOME, 0, 0, 0},
        {"a click", list(), WM_LBUTTONDOWN, MK_LBUTTON, pointOnRow(3), 3, 0},
        {"a drag", list(), WM_MOUSEMOVE, MK_LBUTTON, pointOnRow(5), 5, 0},
        {"a move without the button", list(), WM_MOUSEMOVE, 0, pointOnRow(7), 5, 0},
        {"two notches down", windows().main, WM_MOUSEWHEEL, MAKEWPARAM(0, -240), over, 5, 4},
        {"half a notch up", windows().main, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), over, 5, 4},
        {"a notch up", windows().main, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), over, 5, 2},
        {"scroll bar bottom", list(), WM_VSCROLL, SB_BOTTOM, 0, 5, 201 - visible},
        {"scroll bar line up", list(), WM_VSCROLL, SB_LINEUP, 0, 5, 200 - visible},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.label);
        SendMessageA(step.window, step.message, step.wParam, step.lParam);
        EXPECT_EQ(store().selectedRow(), step.selected);
        EXPECT_EQ(store().firstVisibleRow(), step.first);
        expectPreviewFollowsSelection();
    }
}

TEST_F(Panes, AHeaderClickKeepsTheSelectedEntryAndCentresIt) {
    fillList();
    const int32_t visible = store().visibleRows();
    store().selectRow(120);
    store().keepSelectionVisible();
    const ResultEntry chosen = entryAt(120);
    const MainLayout& layout = p().layout;
    const struct {
        const LayoutRect& header;
        SortMode mode;
    } clicks[] = {{layout.fileHeader, ByFileName},
                  {layout.lineHeader, ByLineText},
                  {layout.statusLine, ByLineText},  // not a header: nothing happens
                  {layout.rankHeader, ByRank}};
    bool rowMoved = false;
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.mode);
        drawnRows.clear();
        SendMessageA(windows().main, WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM((click.header.left + click.header.right) / 2,
                                (click.header.top + click.header.bottom) / 2));
        EXPECT_EQ(store().sortMode(), click.mode);
        const int32_t row = store().selectedRow();
        rowMoved |= row != 120;
        EXPECT_EQ(entryAt(row).path, chosen.path);
        EXPECT_EQ(entryAt(row).lineNumber, chosen.lineNumber);
        EXPECT_EQ(store().firstVisibleRow(), clampFirstVisibleRow(row - visible / 2, 200, visible));
        EXPECT_EQ(drawnRows.empty(), &click.header == &layout.statusLine) << "repainted at once";
    }
    EXPECT_TRUE(rowMoved) << "the sorts really moved the entry";
}

TEST_F(Panes, TheRowCacheRedrawsOnlyTheRowsThatChanged) {
    fillList();
    for (int i = 0; i < 10; ++i)
        SendMessageA(list(), WM_VSCROLL, SB_LINEDOWN, 0);
    const int32_t first = store().firstVisibleRow();
    ASSERT_EQ(first, 10);
    SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, pointOnRow(3));
    const ResultEntry top = entryAt(0);
    // Longer than the 263 characters a fixed cache slot would hold.
    const std::string longPath = tree.path(std::string(299 - tree.root().size(), 'p'));
    const struct {
        const char* label;
        std::function<void()> change;
        std::vector<int32_t> drawn;
    } changes[] = {
        {"nothing changed", [] {}, {}},
        {"a new best result above the view moves every row",
         [&] { store().addResult(top.score + 1000, top.path.c_str(), 999, "needle"); },
         rowsFrom(first)},
        {"a result below the view",
         [&] { store().addResult(-1, tree.path("zzz.c").c_str(), 0, ""); },
         {}},
        {"a long path above the view",
         [&] { store().addResult(top.score + 2000, longPath.c_str(), 1, "needle"); },
         rowsFrom(first)},
        {"a result inside the view moves the rows below it",
         [&] {
             // Equal in every key to the row at view position 6: goes right after it.
             const ResultEntry twin = entryAt(first + 6);
             store().addResult(twin.score, twin.path.c_str(), twin.lineNumber,
                               twin.lineText.c_str());
         },
         rowsFrom(first + 7)},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.label);
        change.change();
        drawnRows.clear();
        p().resultsPane.paint(nullptr);
        EXPECT_EQ(drawnRows, change.drawn);
    }
    EXPECT_EQ(store().selectedRow(), first + 5) << "the selection follows its entry";
    drawnRows.clear();
    SendMessageA(list(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(drawnRows, (std::vector<int32_t>{first + 5, first + 6})) << "old and new selection";
    drawnRows.clear();
    InvalidateRect(list(), nullptr, FALSE);
    UpdateWindow(list());
    EXPECT_EQ(drawnRows, rowsFrom(first)) << "WM_PAINT draws every row";

    // The long path is fitted to its column: nothing between it and the
    // line column.
    SendMessageA(list(), WM_VSCROLL, SB_TOP, 0);
    ASSERT_EQ(entryAt(0).path, longPath);
    const int h = lineHeight(InterfaceFont);
    Dib dib(800, h);
    p().resultsPane.paint(dib.dc());
    EXPECT_GT(dib.count(kBlackPixel, kPathColumnX, 0, kPathColumnX + kPathFitWidth, h), 20);
    EXPECT_EQ(dib.count(kWhitePixel, kPathColumnX + kPathFitWidth + 1, 0, kLineColumnX, h),
              (kLineColumnX - kPathColumnX - kPathFitWidth - 1) * h);
}

TEST_F(Panes, ThePreviewColoursMarksCommentsAndKeywords) {
    const std::string file = tree.write("code.c",
                                        "int main(void) {\n"
                                        "    x = 1; /* a needle here */\n"
                                        "}\n");
    search("needle", file);
    ASSERT_EQ(p().previewPane.document().lineCount(), 4);
    EXPECT_EQ(p().previewPane.position().targetLine, 2);
    auto dib = paintPreview();
    const int h = lineHeight(PreviewFont);
    // Line 1: a grey line number and a blue keyword, no marks.
    EXPECT_GT(dib->count(kGutterColour, 0, 0, 600, h), 5);
    EXPECT_GT(dib->count(kBluePixel, 0, 0, 600, h), 10);
    EXPECT_EQ(dib->count(kMarkPixel, 0, 0, 600, h), 0);
    // Line 2: the term on a yellow box in green, the rest of the comment green.
    const int greenOnMark = onColumnsWith(*dib, 1, kGreenPixel, kMarkPixel);
    EXPECT_GT(greenOnMark, 10);
    EXPECT_GT(dib->count(kGreenPixel, 0, h, 600, 2 * h), greenOnMark);
    EXPECT_EQ(onColumnsWith(*dib, 1, kBlackPixel, kMarkPixel), 0);
    EXPECT_EQ(dib->count(kBluePixel, 0, h, 600, 2 * h), 0);
    const int below = 4 * h;
    EXPECT_EQ(dib->count(kWhitePixel, 0, below, 600, previewHeight()),
              600 * (previewHeight() - below));

    // A file off the highlight list: marks in black, no colours.
    p().previewPane.showFile(tree.write("notes.txt", "int x; /* needle */\n").c_str(), 1);
    auto plain = paintPreview();
    EXPECT_GT(onColumnsWith(*plain, 0, kBlackPixel, kMarkPixel), 10);
    EXPECT_EQ(plain->count(kBluePixel, 0, 0, 600, h) + plain->count(kGreenPixel, 0, 0, 600, h), 0);
}

// Regression: a file deleted before its row was selected left the old
// file's rows standing under the new path until the next scroll.
TEST_F(Panes, AFileDeletedBeforeItsSelectionTurnsThePreviewWhiteAtOnce) {
    tree.write("tree/a.c", "int needle;\nint needle2;\n");
    tree.write("tree/b.c", "needle\n");
    search("needle", tree.path("tree"));
    ASSERT_EQ(store().count(), 3);
    int32_t other = 1;
    while (entryAt(other).path == p().previewPane.document().currentPath())
        ++other;
    const std::string gone = entryAt(other).path;
    std::filesystem::remove(gone);
    // Read back from the window: the pane is on screen.
    HDC kept = p().previewPane.keptDc();
    const auto inked = [&] {
        int n = 0;
        for (int y = 0; y < 2 * lineHeight(PreviewFont); ++y)
            for (int x = 0; x < 200; ++x)
                n += GetPixel(kept, x, y) != kWhitePixel;
        return n;
    };
    ASSERT_GT(inked(), 20);
    store().selectRow(other);
    EXPECT_EQ(p().previewPane.document().currentPath(), gone);
    EXPECT_EQ(p().previewPane.document().lineCount(), 0);
    EXPECT_EQ(boxText(windows().fileBox), gone);
    EXPECT_EQ(inked(), 0);
}

}  // namespace
}  // namespace tarvo::testing
