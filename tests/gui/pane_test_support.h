// What the two pane suites share on top of the program fixture: counting
// colours in a region of a bitmap, reading a pane's scroll bar, a main
// window of a known size, and a search run the way the user runs one.
#pragma once

#include <windows.h>

#include <string>

#include "gui/gui_support.h"

namespace tarvo::testing {

// Pixels of one colour in [left, right) x [top, bottom) of a bitmap.
inline int countIn(const Dib& dib, COLORREF colour, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += dib.at(x, y) == colour;
    return n;
}

// A pane's vertical scroll bar as the window system holds it.
inline SCROLLINFO scrollBar(HWND window) {
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    GetScrollInfo(window, SB_VERT, &bar);
    return bar;
}

// The main window at a known size, so the panes' row counts are known.
inline void sizeMainWindow() {
    SetWindowPos(program().windows.main, nullptr, 0, 0, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages(false);
}

// One search as Enter and the run loop run it, then the timer tick that
// repaints the list.
inline void search(const std::string& find, const std::string& path) {
    const MainWindows& w = program().windows;
    SetWindowTextA(w.findBox, find.c_str());
    SetWindowTextA(w.pathBox, path.c_str());
    SendMessageA(w.findBox, WM_CHAR, '\r', 1);
    runRequestedSearch();
    SendMessageA(w.main, WM_TIMER, 1, 0);
    pumpMessages(false);
}

}  // namespace tarvo::testing
