// The window at its screen's scale: run at 96 DPI and again at 144 (tests/gui/at_dpi.sh, which sets
// TARVO_TEST_DPI). Every place is a size at 96 DPI scaled.
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
        SetWindowPos(windows().main, nullptr, 0, 0, px(820), px(640), SWP_NOZORDER);
        SetForegroundWindow(windows().main);
        drain();
    }
    int px(int at96) const { return scaleToDpi(at96, dpi); }
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

// Labels and the whole status line at their scaled places; moved to another DPI, all scaled anew.
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
    EXPECT_EQ(p().resultsPane.columns().pathX + l.resultsPane.left, l.fileHeader.left + px(5));
    const int newDpi = dpi * 5 / 4;
    RECT before;
    GetWindowRect(windows().main, &before);
    RECT suggested{before.left + 10, before.top + 10, before.left + 1010, before.top + 810};
    const int lineBefore = rowHeight();
    SendMessageA(windows().main, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                 reinterpret_cast<LPARAM>(&suggested));
    drain();
    EXPECT_GT(rowHeight(), lineBefore);
    RECT after;
    GetWindowRect(windows().main, &after);
    EXPECT_TRUE(EqualRect(&after, &suggested));
    EXPECT_EQ(std::tuple(p().fonts.dpi(), l.fileHeader.width(), l.findBox.height()),
              std::tuple(newDpi, scaleToDpi(400, newDpi), rowHeight()));
    for (HWND box : {windows().findBox, windows().pathBox, windows().fileBox})
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)),
                  p().fonts.handle(FontIndex::Interface));
}

// Column borders dragged or double-clicked (fit), the splitter dragged; both kept for the settings.
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

// Esc closes the list under a box; Ctrl+Tab reaches the preview, which shows its focus and scrolls.
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
    // Pixels the focus frame darkens down the left edge.
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
        EXPECT_TRUE(left >= 0 || at.leftColumn > 200);
    }
    SetFocus(windows().findBox);
    EXPECT_EQ(framed(), 0) << "no frame without the focus";
}

}  // namespace
}  // namespace tarvo::testing
