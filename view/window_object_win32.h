// A window's object: what CreateWindowExA was handed as its last argument,
// kept on the window (GWLP_USERDATA) at WM_NCCREATE, the first message that
// carries it. A window procedure so finds its object from the handle alone,
// and the objects need no global.
#pragma once

#include <windows.h>

namespace tarvo {

// The object kept on `window`; null before its WM_NCCREATE.
template <class Object>
Object* windowObject(HWND window) {
    return reinterpret_cast<Object*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// For a window procedure, for every message: keeps the object at
// WM_NCCREATE, then returns it. Null for the messages before WM_NCCREATE
// (a top-level window gets WM_GETMINMAXINFO first), which go to
// DefWindowProcA.
template <class Object>
Object* windowObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    return windowObject<Object>(window);
}

}  // namespace tarvo
