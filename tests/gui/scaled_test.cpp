// The window at the scale of the screen it is on: these suites run with the others at 96 DPI, and
// again at 144 DPI (150 %) with the screen's DPI set in the registry (tests/gui/at_dpi.sh), where
// TARVO_TEST_DPI names the DPI the window must have. Every place is a size at 96 DPI scaled.
#include <cstdlib>

#include "gui/gui_support.h"
#include "shell/drop_down_win32.h"
#include "shell/main_window_win32.h"
#include "shell/status_panel_win32.h"
#include "support/repeated.h"
#include "view/display_scale.h"
#include "view/display_scale_win32.h"

namespace tarvo::testing {
namespace {

class Scaled : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        dpi = static_cast<int>(windowDpi(windows().main));
        if (const char* expected = std::getenv("TARVO_TEST_DPI")) {
            ASSERT_EQ(dpi, std::atoi(expected));
        }
        // The fixture's 900 x 700 at 96 DPI, as large on the screen at any scale.
        SetWindowPos(windows().main, nullptr, 0, 0, px(820), px(640), SWP_NOZORDER);
        SetForegroundWindow(windows().main);
        drain();
    }
    int px(int at96) const { return scaleToDpi(at96, dpi); }
    // What the main window shows, read back from its own device context.
    static Dib shown() {
        RECT client;
        GetClientRect(windows().main, &client);
        return Dib(windows().mainDc, client.right, client.bottom);
    }
    // The first and the last column in [left, right) x [top, bottom) holding a pixel of `ink`.
    static std::pair<int, int> inkedColumns(const Dib& dib, COLORREF ink, const LayoutRect& r) {
        int first = -1, last = -1;
        for (int x = r.left; x < r.right; ++x) {
            if (dib.count(ink, x, r.top, x + 1, r.bottom) == 0) continue;
            if (first < 0) first = x;
            last = x;
        }
        return {first, last};
    }
    // The left button pressed at `from` and released at `to`, client pixels of the main window.
    static void drag(POINT from, POINT to) {
        mouseAt(windows().main, from.x, from.y, {MOUSEEVENTF_LEFTDOWN});
        mouseAt(windows().main, to.x, to.y, {MOUSEEVENTF_LEFTUP});
    }
    int dpi = kBaseDpi;
};

// The fonts are made for the screen; the headers' labels and the whole status line, which says that
// the list holds the best 9,999 of more matching lines, are drawn where the scaled layout puts
// them: nothing cut that fits at 96 DPI. Moved to a screen of another scale (WM_DPICHANGED): fonts
// made for the new DPI and given to the boxes, the rectangle Windows suggests taken, every place
// scaled anew.
TEST_F(Scaled, HeadersAndTheStatusLineAreDrawnAtTheirScaledPlacesAndAMoveScalesAnew) {
    tree.write("tree/many.txt", repeated(10000, "needle\n"));
    search("needle", tree.path("tree"));
    EXPECT_EQ(p().fonts.dpi(), dpi);
    const MainLayout& l = p().layout;
    const Dib dib = shown();
    const std::pair<const LayoutRect*, const char*> headers[] = {{&l.rankHeader, kRankHeaderLabel},
                                                                 {&l.fileHeader, kFileHeaderLabel},
                                                                 {&l.lineHeader, kLineHeaderLabel}};
    for (const auto& [rect, label] : headers) {
        SCOPED_TRACE(label);
        const auto [first, last] = inkedColumns(dib, kBlackPixel, *rect);
        EXPECT_GE(first, rect->left + px(5));
        EXPECT_LE(first, rect->left + px(5) + 2) << "the label's first letter";
        EXPECT_LE(last, rect->left + px(5) + p().fonts.textWidth(label, FontIndex::Interface));
        EXPECT_GT(last - first, p().fonts.textWidth(label, FontIndex::Interface) * 3 / 4);
    }
    const std::string status = statusPanelText(p());
    EXPECT_TRUE(status.ends_with("     the best 9,999 are listed")) << status;
    const int statusWidth = p().fonts.textWidth(status, FontIndex::Interface);
    ASSERT_LT(statusWidth, l.statusLine.width()) << "the whole line fits the window";
    const auto [first, last] = inkedColumns(dib, kBlackPixel, l.statusLine);
    EXPECT_LE(first, l.statusLine.left + 2);
    EXPECT_GE(last, l.statusLine.left + statusWidth - px(8)) << "its last word is drawn";
    // The list's rows stand under the headers' labels.
    EXPECT_EQ(p().resultsPane.columns().pathX + l.resultsPane.left, l.fileHeader.left + px(5));

    const int newDpi = dpi * 5 / 4;
    RECT before;
    GetWindowRect(windows().main, &before);
    // On the screen whatever the scale: Windows would suggest the size scaled.
    RECT suggested{before.left + 10, before.top + 10, before.left + 1010, before.top + 810};
    const int lineBefore = rowHeight();
    SendMessageA(windows().main, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                 reinterpret_cast<LPARAM>(&suggested));
    drain();
    EXPECT_EQ(p().fonts.dpi(), newDpi);
    EXPECT_GT(rowHeight(), lineBefore);
    RECT after;
    GetWindowRect(windows().main, &after);
    EXPECT_TRUE(EqualRect(&after, &suggested));
    EXPECT_EQ(l.fileHeader.width(), scaleToDpi(400, newDpi));
    EXPECT_EQ(l.findBox.height(), rowHeight());
    for (HWND box : {windows().findBox, windows().pathBox, windows().fileBox})
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)),
                  p().fonts.handle(FontIndex::Interface));
}

// The sizing cursor over a border; a drag of the Rank column's border by 30 pixels (at 96 DPI)
// widens it as much, and the rows follow; a double-click on the File column's border fits it to the
// paths in view; the splitter takes the list's height, the previewed line stays in view, and both
// are kept for the settings file.
TEST_F(Scaled, ColumnBordersAndTheSplitterFollowTheMouse) {
    for (int i = 0; i < 60; ++i)
        tree.write("tree/f" + std::to_string(10 + i) + ".c", "int needle;\n");
    search("needle", tree.path("tree"));
    const MainLayout& l = p().layout;
    const int rankRight = l.rankHeader.right, middle = (l.rankHeader.top + l.rankHeader.bottom) / 2;
    mouseAt(windows().main, rankRight - 1, middle);
    SendMessageA(windows().main, WM_SETCURSOR, reinterpret_cast<WPARAM>(windows().main),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZEWE));

    const int rankBefore = l.rankWidth;
    drag({rankRight - 1, middle}, {rankRight - 1 + px(30), middle});
    EXPECT_EQ(l.rankWidth, rankBefore + px(30));
    ASSERT_TRUE(p().settings.columnWidths.has_value());
    EXPECT_EQ(p().settings.columnWidths->rank, scaleFromDpi(rankBefore + px(30), dpi));
    EXPECT_EQ(p().resultsPane.columns(), l.columns) << "the rows follow the headers";
    EXPECT_EQ(l.columns.pathX, l.rankWidth + px(5));

    const DWORD down = MOUSEEVENTF_LEFTDOWN, up = MOUSEEVENTF_LEFTUP;
    mouseAt(windows().main, l.fileHeader.right, middle, {down, up, down, up});
    int widest = 0;
    for (const std::string& path : p().resultsPane.columnTexts(true))
        widest = std::max(widest, p().fonts.textWidth(path, FontIndex::Interface));
    EXPECT_EQ(
        l.fileWidth,
        std::max(widest, p().fonts.textWidth(kFileHeaderLabel, FontIndex::Interface)) + 2 * px(5));

    // The previewed line, near the middle of a long file, then the splitter dragged down by ten
    // rows of the list: the preview shrinks and keeps the line in view.
    p().previewPane.showFile(tree.write("long.txt", repeated(300, "line\n")).c_str(), 150);
    const PreviewPosition& at = p().previewPane.position();
    const int row = rowHeight(), splitterY = l.resultsBottom + px(4);
    const int listBefore = l.resultsPane.height();
    drag({px(200), splitterY}, {px(200), splitterY + 10 * row});
    EXPECT_EQ(l.resultsPane.height(), listBefore + 10 * row);
    ASSERT_TRUE(p().settings.listShare.has_value());
    EXPECT_EQ(*p().settings.listShare, shareForListHeight(l.resultsPane.height(), l.panesHeight));
    EXPECT_GE(at.targetLine, paintTopLine(at.topLine));
    EXPECT_LT(at.targetLine, paintTopLine(at.topLine) + at.wholeLines) << "still in view";
}

// Esc closes the list open under a box, and does nothing else with no search running. Ctrl+Tab
// goes round Find, Path, the list and the preview, Ctrl+Shift+Tab back; the preview shows its focus
// and scrolls with its keys.
TEST_F(Scaled, EscClosesTheListAndCtrlTabReachesThePreview) {
    std::string lines;
    for (int i = 1; i <= 500; ++i)
        lines +=
            "alpha " + std::to_string(i) + "\t" + std::string(i % 7 == 0 ? 300 : 3, 'x') + "\n";
    tree.write("src/long.txt", lines);
    search("alpha", tree.path("src"));
    pressKey(windows().findBox, VK_ESCAPE);
    EXPECT_EQ(p().runState, RunState::Idle) << "with no search running, Esc does nothing";
    toggleHistory(p(), windows().findBox);  // the Find box's history: "alpha"
    ASSERT_EQ(p().dropDown.box, windows().findBox);
    pressKey(windows().findBox, VK_ESCAPE);
    EXPECT_EQ(p().dropDown.box, nullptr) << "Esc closes the list open under a box first";

    p().previewPane.showFile(tree.path("src/long.txt").c_str(), 1);
    const HWND list = p().resultsPane.window(), preview = p().previewPane.window();
    SetFocus(windows().findBox);
    const HWND round[] = {windows().pathBox, list, preview, windows().findBox};
    for (HWND next : round) {
        pressKey(GetFocus(), VK_TAB, true);
        EXPECT_EQ(GetFocus(), next);
    }
    pressKey(GetFocus(), VK_TAB, true, true);
    ASSERT_EQ(GetFocus(), preview) << "Ctrl+Shift+Tab goes back";

    RECT area;
    GetClientRect(preview, &area);
    // Pixels the focus frame darkens down the left edge, where the rows show their ground.
    const auto framed = [&] {
        const Dib dib(p().previewPane, area.right, area.bottom);
        return area.bottom - dib.count(kWhitePixel, 0, 0, 1, area.bottom) -
               dib.count(kResultLineColour, 0, 0, 1, area.bottom);
    };
    EXPECT_GT(framed(), area.bottom / 4);
    const PreviewPosition& at = p().previewPane.position();
    const int page = at.visibleLines;
    const std::tuple<WPARAM, bool, int32_t, int32_t> keys[] = {
        // key, with Ctrl, top line after, left column after (-1: at the widest line's end)
        {VK_NEXT, false, 1 + page, 0}, {VK_DOWN, false, 2 + page, 0}, {VK_UP, false, 1 + page, 0},
        {VK_PRIOR, false, 1, 0},       {VK_END, false, 1, -1},        {VK_HOME, false, 1, 0},
        {VK_END, true, 503 - page, 0}, {VK_HOME, true, 1, 0}};
    for (const auto& [key, control, top, left] : keys) {
        SCOPED_TRACE(::testing::Message() << key << " " << control);
        pressKey(preview, key, control);
        EXPECT_EQ(at.topLine, top);
        EXPECT_EQ(at.leftColumn, left < 0 ? GetScrollPos(preview, SB_HORZ) : left);
        if (left < 0) {
            EXPECT_GT(at.leftColumn, 200);
        }
    }
    SetFocus(windows().findBox);
    EXPECT_EQ(framed(), 0) << "no frame without the focus";
}

}  // namespace
}  // namespace tarvo::testing
