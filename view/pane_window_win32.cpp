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

int32_t PaneWindow::scrollBarTo(WPARAM request, bool fromWheel, int32_t stepsPerNotch) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window_, SB_VERT, &info);
    const ScrollBarState bar{info.nMin, info.nMax, static_cast<int32_t>(info.nPage), info.nPos,
                             info.nTrackPos};
    SCROLLINFO position = {};
    position.cbSize = sizeof position;
    position.fMask = SIF_POS;
    position.nPos =
        requestedScrollPosition(bar, static_cast<uint32_t>(request), fromWheel, stepsPerNotch);
    // The scroll bar clamps the position to its range; the pane follows it.
    SetScrollInfo(window_, SB_VERT, &position, TRUE);
    GetScrollInfo(window_, SB_VERT, &position);
    return position.nPos;
}

LRESULT CALLBACK paneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* object = reinterpret_cast<PaneWindow*>(GetWindowLongPtrA(pane, GWLP_USERDATA));
    if (!object) return DefWindowProcA(pane, message, wParam, lParam);
    return object->onMessage(message, wParam, lParam);
}

}  // namespace tarvo
