#include "view/display_scale_win32.h"

namespace tarvo {

namespace {

template <class Function>
Function user32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

}  // namespace

UINT windowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow) return getDpiForWindow(window);
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return static_cast<UINT>(dpi);
}

void adjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD extendedStyle, UINT dpi) {
    using AdjustFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = user32Function<AdjustFunction>("AdjustWindowRectExForDpi");
    if (adjust) {
        adjust(&rect, style, menu, extendedStyle, dpi);
    } else {
        AdjustWindowRectEx(&rect, style, menu, extendedStyle);
    }
}

}  // namespace tarvo
