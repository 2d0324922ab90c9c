#include "results/results_pane_win32.h"

#include <windowsx.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "view/marked_text.h"
#include "view/scroll_request.h"
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

}  // namespace

ResultsPane::ResultsPane(ResultStore& store, const TermTable& terms)
    : store_(store), terms_(terms) {
    store_.setLineColumn(&terms_, [](const char* text, int length) {
        return textWidth(std::string_view(text, length), InterfaceFont);
    });
}

void ResultsPane::onSize(int32_t clientWidth) {
    // The rows' Line texts changed, their keys did not: the cache would keep them.
    if (store_.setLineColumnWidth(clientWidth - kLineColumnX)) forgetRowCache();
    paint(nullptr);
}

void ResultsPane::paint(HDC dc) {
    HWND pane = window();
    if (!dc) dc = keptDc();
    if (!pane || !dc) return;
    ResultStore& store = store_;

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

void ResultsPane::paintRow(HDC dc, int32_t row, const RowRect& rect) {
    ResultStore& store = store_;
    if (row >= store.count()) return;
    store.ensureDisplayOrder();
    if (!rowNeedsPaint(dc, row, rect)) return;
    if (rowDrawn) rowDrawn(row);

    const StoredEntry& entry = store.displayEntry(row);
    const bool selected = row == store.selectedRow();
    const TermTable& terms = terms_;
    fill(dc, selected ? GetSysColor(COLOR_HIGHLIGHT) : kRowGround, rect);

    std::string text = rankText(entry);
    std::vector<uint8_t> attrs(text.size(), selected ? SelectedText : Plain);
    drawCell(dc, text, attrs, kRankColumnX, rect);

    text = pathText(entry);
    rowTextAttributes(text, selected, terms, attrs);
    fitTextToWidth(dc, text, attrs, kPathFitWidth);
    drawCell(dc, text, attrs, kPathColumnX, rect);

    text = shownLineText(entry);
    rowTextAttributes(text, selected, terms, attrs);
    drawCell(dc, text, attrs, kLineColumnX, rect);
}

bool ResultsPane::rowNeedsPaint(HDC dc, int32_t row, const RowRect& rect) {
    const ResultStore& store = store_;
    // The cache stores whole paths, so a path of any length is compared in
    // full and a long one never spills out of its slot.
    return rowCache_.rowNeedsPaint(dc == keptDc(), row - store.firstVisibleRow(),
                                   store.displayEntry(row), rect, row == store.selectedRow());
}

void ResultsPane::scroll(WPARAM request, bool fromWheel) {
    store_.setFirstVisibleRow(scrollBarTo(SB_VERT, request, fromWheel, kResultRowsPerNotch));
    paint(nullptr);
}

void ResultsPane::handleKey(WPARAM virtualKey) {
    ResultStore& store = store_;
    const std::optional<int32_t> row = rowForKey(
        static_cast<int32_t>(virtualKey), store.selectedRow(), store.visibleRows(), store.count());
    if (!row) return;
    store.selectRow(*row);
    store.keepSelectionVisible();
    paint(nullptr);
}

int32_t ResultsPane::rowAt(int32_t x, int32_t y) const {
    const ResultStore& store = store_;
    return rowAtPoint(x, y, store.firstVisibleRow(), store.visibleRows(), store.count(),
                      lineHeight(InterfaceFont));
}

bool ResultsPane::selectAtPoint(uint16_t x, uint16_t y) {
    ResultStore& store = store_;
    const int32_t before = store.selectedRow();
    const int32_t row = rowAt(x, y);
    if (row < 0) return false;
    // showFile runs even for the row already selected; it then does nothing.
    store.selectRow(row);
    if (store.selectedRow() != before) paint(nullptr);
    return true;
}

void ResultsPane::onDoubleClick(uint16_t x, uint16_t y) {
    if (!selectAtPoint(x, y)) return;
    NMHDR note = {window(), 0, NM_DBLCLK};
    SendMessageA(GetParent(window()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note));
}

LRESULT ResultsPane::onContextMenu(WPARAM wParam, LPARAM lParam) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(window(), &at);
    if (rowAt(at.x, at.y) < 0) return 0;
    // The default procedure hands it to the parent, which owns the menu.
    return DefWindowProcA(window(), WM_CONTEXTMENU, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Messages: one short handler each; all of them may arrive in the middle of
// a search, between two results.
// ---------------------------------------------------------------------------

LRESULT ResultsPane::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            onSize(LOWORD(lParam));
            return 0;
        case WM_PAINT:
            onPaint();
            return 0;
        case WM_KEYDOWN:
            handleKey(wParam);
            return 0;
        case WM_VSCROLL:
            scroll(wParam, false);
            return 0;
        case WM_MOUSEMOVE:
            if (wParam & MK_LBUTTON) selectAtPoint(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            selectAtPoint(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_LBUTTONDBLCLK:
            onDoubleClick(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_CONTEXTMENU:
            return onContextMenu(wParam, lParam);
        case WM_MOUSEWHEEL:
            scroll(wParam, true);
            return 0;
        default:
            return DefWindowProcA(window(), message, wParam, lParam);
    }
}

}  // namespace tarvo
