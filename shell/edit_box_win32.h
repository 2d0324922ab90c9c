// The procedure of the Find, Path and File boxes, installed in place of the
// EDIT class's own: Tab cycles the boxes, the list keys (and Ctrl+Home,
// Ctrl+End) move the results selection while the caret stays put, Enter
// starts, restarts or stops. The list under the Find and Path boxes takes
// their keys first (drop_down_win32.h).
#pragma once

#include <windows.h>

#include <string>

namespace tarvo {

LRESULT CALLBACK editBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// Gives a box the focus with the caret after its text.
void focusAtEnd(HWND box);

// After a box was resized: its text from the start when it fits, else
// scrolled just far enough to show the caret; caret and selection stay.
void showTextStart(HWND box);
// A box's text, at most kMaxTextLength characters, as Enter takes it.
std::string readBox(HWND box);

}  // namespace tarvo
