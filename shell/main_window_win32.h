// The main window (class "vrex"): its procedure only dispatches, one short
// handler per message. Every handler may run nested inside a search (the
// search pumps messages), so each is safe with a half-filled result store.
#pragma once

#include <windows.h>

namespace tarvo {

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Computes the layout for a client area, moves the five children and
// invalidates the bands of the main window's own surface that moved.
void layoutMainWindow(int clientWidth, int clientHeight);

}  // namespace tarvo
