#include "view/pane_window_win32.h"

#include "view/scroll_request.h"

namespace tarvo {

void PaneWindow::create(HWND parent, const char* name, DWORD style, HINSTANCE instance) {
    window_ =
        CreateWindowExA(0, "Pane", name, style, 0, 0, 0, 0, parent, nullptr, instance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    keptDc_ = GetDC(window_);
}

void PaneWindow::onPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    paint(dc);
    EndPaint(window_, &ps);
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
    auto* object = reinterpret_cast<PaneWindow*>(GetWindowLongPtrA(pane, GWLP_USERDATA));
    if (!object) return DefWindowProcA(pane, message, wParam, lParam);
    return object->onMessage(message, wParam, lParam);
}

}  // namespace tarvo
