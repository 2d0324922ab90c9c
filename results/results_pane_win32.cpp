#include "results/results_pane_win32.h"

#include <string>
#include <vector>

#include "shell/program_win32.h"
#include "view/marked_text.h"
#include "view/text_class.h"
#include "view/text_drawing_win32.h"

namespace tarvo {

namespace {

constexpr COLORREF kRowGround = RGB(255, 255, 255);

void fill(HDC dc, COLORREF colour, const RowRect& r) {
    SetDCPenColor(dc, colour);
    SetDCBrushColor(dc, colour);
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

void drawCell(HDC dc, const std::string& text, const std::vector<uint8_t>& attrs, int x,
              const RowRect& row) {
    drawMarkedText(dc, text.c_str(), attrs.data(), x, row.top, row.bottom);
}

ScrollBarState readScrollBar(HWND pane) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(pane, SB_VERT, &info);
    return {info.nMin, info.nMax, static_cast<int32_t>(info.nPage), info.nPos, info.nTrackPos};
}

}  // namespace

void paintPane(HDC dc) {
    Program& p = program();
    HWND pane = p.windows.resultsPane;
    if (!dc) dc = p.windows.resultsDc;
    if (!pane || !dc) return;
    ResultStore& store = p.results;

    RECT window;
    GetWindowRect(pane, &window);
    const int h = lineHeight(InterfaceFont);
    store.setVisibleRows(rowsShown(window.bottom - window.top, h));

    SelectObject(dc, GetStockObject(DC_PEN));
    SelectObject(dc, GetStockObject(DC_BRUSH));
    SelectObject(dc, fontHandle(InterfaceFont));
    SetBkMode(dc, TRANSPARENT);

    const int32_t first = store.firstVisibleRow();
    const ResultsPaintPlan plan = planResultsPaint(first, store.visibleRows(), store.count(), h);
    for (int32_t row = plan.firstRow; row < plan.endRow; ++row)
        paintRow(dc, row, rowRect(row - first, h));
    fill(dc, kRowGround, {0, plan.blankTop, kFarEdge, kFarEdge});

    // Range 0 .. count, not count - 1: the scroll bar then stops the first
    // row at count - visibleRows + 1, as keepSelectionVisible does.
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    bar.nMin = 0;
    bar.nMax = store.count();
    bar.nPage = static_cast<UINT>(store.visibleRows());
    bar.nPos = first;
    SetScrollInfo(pane, SB_VERT, &bar, TRUE);
}

void paintRow(HDC dc, int32_t row, const RowRect& rect) {
    Program& p = program();
    ResultStore& store = p.results;
    if (row >= store.count()) return;
    store.ensureDisplayOrder();
    if (!rowNeedsPaint(dc, row, rect)) return;
    if (p.panes.rowDrawn) p.panes.rowDrawn(row);

    const ResultEntry& entry = store.displayEntry(row);
    const bool selected = row == store.selectedRow();
    const TermTable& terms = p.engine.terms();
    fill(dc, selected ? GetSysColor(COLOR_HIGHLIGHT) : kRowGround, rect);

    std::string text = rankText(entry);
    std::vector<uint8_t> attrs(text.size(), selected ? SelectedText : Plain);
    drawCell(dc, text, attrs, kRankColumnX, rect);

    text = pathText(entry);
    rowTextAttributes(text, selected, terms, attrs);
    fitTextToWidth(dc, text, attrs, kPathFitWidth);
    drawCell(dc, text, attrs, kPathColumnX, rect);

    rowTextAttributes(entry.lineText, selected, terms, attrs);
    drawCell(dc, entry.lineText, attrs, kLineColumnX, rect);
}

bool rowNeedsPaint(HDC dc, int32_t row, const RowRect& rect) {
    Program& p = program();
    const ResultStore& store = p.results;
    // The cache stores whole paths, so a path of any length is compared in
    // full and a long one never spills out of its slot.
    return p.panes.rowCache.rowNeedsPaint(dc == p.windows.resultsDc, row - store.firstVisibleRow(),
                                          store.displayEntry(row), rect,
                                          row == store.selectedRow());
}

void scrollPane(WPARAM request, bool fromWheel) {
    Program& p = program();
    HWND pane = p.windows.resultsPane;
    const ScrollBarState bar = readScrollBar(pane);
    SCROLLINFO position = {};
    position.cbSize = sizeof position;
    position.fMask = SIF_POS;
    position.nPos = requestedScrollPosition(bar, static_cast<uint32_t>(request), fromWheel,
                                            kResultRowsPerNotch);
    // The scroll bar clamps the position to its range; the list follows it.
    SetScrollInfo(pane, SB_VERT, &position, TRUE);
    GetScrollInfo(pane, SB_VERT, &position);
    p.results.setFirstVisibleRow(position.nPos);
    paintPane(nullptr);
}

void handleKey(WPARAM virtualKey) {
    ResultStore& store = program().results;
    const std::optional<int32_t> row = rowForKey(
        static_cast<int32_t>(virtualKey), store.selectedRow(), store.visibleRows(), store.count());
    if (!row) return;
    store.selectRow(*row);
    store.keepSelectionVisible();
    paintPane(nullptr);
}

void selectAtPoint(uint16_t x, uint16_t y) {
    ResultStore& store = program().results;
    const int32_t before = store.selectedRow();
    const int32_t row = rowAtPoint(x, y, store.firstVisibleRow(), store.visibleRows(),
                                   store.count(), lineHeight(InterfaceFont));
    if (row < 0) return;
    // showFile runs even for the row already selected; it then does nothing.
    store.selectRow(row);
    if (store.selectedRow() != before) paintPane(nullptr);
}

// ---------------------------------------------------------------------------
// Messages: one short handler each; all of them may arrive in the middle of
// a search, between two results.
// ---------------------------------------------------------------------------

namespace {

void onPaint(HWND pane) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(pane, &paint);
    paintPane(dc);
    EndPaint(pane, &paint);
}

}  // namespace

LRESULT resultsPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            paintPane(nullptr);
            return 0;
        case WM_PAINT:
            onPaint(pane);
            return 0;
        case WM_KEYDOWN:
            handleKey(wParam);
            return 0;
        case WM_VSCROLL:
            scrollPane(wParam, false);
            return 0;
        case WM_MOUSEMOVE:
            if (wParam & MK_LBUTTON) selectAtPoint(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_LBUTTONDOWN:
            selectAtPoint(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_MOUSEWHEEL:
            scrollPane(wParam, true);
            return 0;
        default:
            return DefWindowProcA(pane, message, wParam, lParam);
    }
}

}  // namespace tarvo
