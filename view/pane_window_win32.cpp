#include "view/pane_window_win32.h"

#include "view/scroll_request.h"
#include "view/text_drawing_win32.h"
#include "view/window_object_win32.h"

namespace tarvo {

void PaneWindow::create(HWND parent, const char* name, DWORD style, HINSTANCE instance) {
    window_ =
        CreateWindowExA(0, kPaneClass, name, style, 0, 0, 0, 0, parent, nullptr, instance, this);
    keptDc_ = GetDC(window_);
}

void PaneWindow::onPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    paint(dc);
    EndPaint(window_, &ps);
}

HDC PaneWindow::beginPanePaint(HDC dc, HFONT font) {
    if (!dc) dc = keptDc_;
    if (!window_ || !dc) return nullptr;
    selectDrawingTools(dc, font);
    return dc;
}

int32_t PaneWindow::rowsInWindow(int32_t rowHeight) const {
    RECT area;
    GetWindowRect(window_, &area);
    return rowsShown(area.bottom - area.top, rowHeight);
}

void PaneWindow::setScrollBar(int bar, const ScrollBarState& state) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    info.nMin = state.min;
    info.nMax = state.max;
    info.nPage = static_cast<UINT>(state.page);
    info.nPos = state.pos;
    SetScrollInfo(window_, bar, &info, TRUE);
}

ScrollBarState PaneWindow::readScrollBar(int bar) const {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window_, bar, &info);
    return {info.nMin, info.nMax, static_cast<int32_t>(info.nPage), info.nPos, info.nTrackPos};
}

int32_t PaneWindow::moveScrollBar(int bar, int32_t position) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = position;
    // The scroll bar clamps the position to its range; the pane follows it.
    SetScrollInfo(window_, bar, &info, TRUE);
    GetScrollInfo(window_, bar, &info);
    return info.nPos;
}

int32_t PaneWindow::scrollBarTo(int bar, WPARAM request, bool fromWheel, int32_t stepsPerNotch) {
    return moveScrollBar(
        bar, requestedScrollPosition(readScrollBar(bar), static_cast<uint32_t>(request), fromWheel,
                                     stepsPerNotch));
}

int32_t PaneWindow::scrollBarBy(int bar, int32_t steps) {
    return moveScrollBar(bar, readScrollBar(bar).pos + steps);
}

LRESULT CALLBACK paneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* object = windowObject<PaneWindow>(pane, message, lParam);
    if (!object) return DefWindowProcA(pane, message, wParam, lParam);
    // From here on the object answers, its default going to DefWindowProcA
    // with its own handle.
    if (message == WM_NCCREATE) object->window_ = pane;
    return object->onMessage(message, wParam, lParam);
}

}  // namespace tarvo
