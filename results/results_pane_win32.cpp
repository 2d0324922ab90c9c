#include "results/results_pane_win32.h"

#include <windowsx.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "view/marked_text.h"
#include "view/scroll_request.h"
#include "view/text_class.h"
#include "view/text_drawing_win32.h"

namespace tarvo {

namespace {

void fill(HDC dc, COLORREF colour, const RowRect& r) {
    fillBox(dc, colour, r.left, r.top, r.right, r.bottom);
}

}  // namespace

ResultsPane::ResultsPane(ResultStore& store, const TermTable& terms, const Fonts& fonts)
    : store_(store), terms_(terms), fonts_(fonts) {
    store_.setLineColumn(&terms_, [this](const char* text, int length) {
        return fonts_.textWidth(std::string_view(text, length), FontIndex::Interface, tabWidth_);
    });
}

void ResultsPane::drawCell(HDC dc, const std::string& text, const std::vector<uint8_t>& attrs,
                           int x, const RowRect& row) const {
    drawMarkedText(dc, text.c_str(), attrs.data(), x, row.top, row.bottom, tabWidth_);
}

void ResultsPane::setTabWidth(int columns) {
    if (columns == tabWidth_) return;
    tabWidth_ = columns;
    // The rows' Line texts were measured and drawn with the old stops.
    store_.remeasureLineColumn();
    forgetRowCache();
    paint(nullptr);
}

void ResultsPane::updateLineColumnWidth() {
    RECT client;
    GetClientRect(window(), &client);
    // The rows' Line texts changed, their keys did not: the cache would keep them.
    if (store_.setLineColumnWidth(client.right - columns_.lineX)) forgetRowCache();
}

void ResultsPane::onSize() {
    updateLineColumnWidth();
    paint(nullptr);
}

void ResultsPane::setColumns(const ListColumns& columns) {
    if (columns == columns_) return;
    columns_ = columns;
    forgetRowCache();  // every row's texts moved
    if (!window()) return;
    updateLineColumnWidth();
    paint(nullptr);
}

std::vector<std::string> ResultsPane::columnTexts(bool paths) {
    ResultStore& store = store_;
    store.ensureDisplayOrder();
    const int32_t end = std::min(store.firstVisibleRow() + store.visibleRows(), store.count());
    std::vector<std::string> texts;
    for (int32_t row = store.firstVisibleRow(); row < end; ++row) {
        const StoredEntry& entry = store.displayEntry(row);
        texts.push_back(paths ? pathText(entry) : rankText(entry));
    }
    return texts;
}

void ResultsPane::paint(HDC dc) {
    dc = beginPanePaint(dc, fonts_.handle(FontIndex::Interface));
    if (!dc) return;
    ResultStore& store = store_;
    const int h = fonts_.lineHeight(FontIndex::Interface);
    store.setVisibleRows(rowsInWindow(h));

    const int32_t first = store.firstVisibleRow();
    const ResultsPaintPlan plan = planResultsPaint(first, store.visibleRows(), store.count(), h);
    for (int32_t row = plan.firstRow; row < plan.endRow; ++row)
        paintRow(dc, row, rowRect(row - first, h));
    fill(dc, kWhite, {0, plan.blankTop, kFarEdge, kFarEdge});

    // Range 0 .. count, not count - 1: the scroll bar then stops the first
    // row at count - visibleRows + 1, as keepSelectionVisible does.
    setScrollBar(SB_VERT,
                 {.min = 0, .max = store.count(), .page = store.visibleRows(), .pos = first});
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
    fill(dc, selected ? GetSysColor(COLOR_HIGHLIGHT) : kWhite, rect);

    std::string text = rankText(entry);
    std::vector<uint8_t> attrs(text.size(), selected ? kSelectedText : kPlainText);
    drawCell(dc, text, attrs, columns_.rankX, rect);

    text = pathText(entry);
    rowTextAttributes(text, selected, terms, attrs);
    fitTextToWidth(dc, text, attrs, columns_.pathFitWidth);
    drawCell(dc, text, attrs, columns_.pathX, rect);

    text = shownLineText(entry);
    rowTextAttributes(text, selected, terms, attrs);
    drawCell(dc, text, attrs, columns_.lineX, rect);

    if (selected && hasFocus()) {
        RECT frame;
        GetClientRect(window(), &frame);
        frame.top = rect.top;
        frame.bottom = rect.bottom;
        DrawFocusRect(dc, &frame);
    }
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
                      fonts_.lineHeight(FontIndex::Interface));
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

void ResultsPane::notifyParent(UINT code) {
    NMHDR note = {window(), 0, code};
    SendMessageA(GetParent(window()), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&note));
}

void ResultsPane::onDoubleClick(uint16_t x, uint16_t y) {
    if (selectAtPoint(x, y)) notifyParent(NM_DBLCLK);
}

void ResultsPane::onKeyDown(WPARAM virtualKey) {
    if (virtualKey != VK_RETURN) return handleKey(virtualKey);
    if (store_.selectedRow() >= 0) notifyParent(NM_RETURN);
}

void ResultsPane::onMouseMove(WPARAM buttons, uint16_t x, uint16_t y) {
    if (buttons & MK_LBUTTON) selectAtPoint(x, y);
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
            onSize();
            return 0;
        case WM_PAINT:
            onPaint();
            return 0;
        case WM_KEYDOWN:
            onKeyDown(wParam);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            forgetRowCache();  // the selected row's focus frame
            paint(nullptr);
            return 0;
        case WM_VSCROLL:
            scroll(wParam, false);
            return 0;
        case WM_MOUSEMOVE:
            onMouseMove(wParam, LOWORD(lParam), HIWORD(lParam));
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
