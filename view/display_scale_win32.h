// The DPI of a window and the frame around a client area at a DPI. The
// calls that answer per window came with Windows 10 1607; the program also
// runs where they are missing (the manifest declares per-monitor awareness
// for Windows 8.1 and system awareness before it), so they are looked up
// when first used and the system-wide answers stand in for them.
#pragma once

#include <windows.h>

namespace tarvo {

// The DPI `window` is drawn at: that of the screen it is on (96 at 100 %).
UINT windowDpi(HWND window);

// Grows `rect` from a client area to the window around it, as
// AdjustWindowRectEx does, with the frame and menu bar sized for `dpi`.
void adjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD extendedStyle, UINT dpi);

}  // namespace tarvo
