// A child window of class "Pane" backed by an object. The object puts
// itself on its window (GWLP_USERDATA) once the window exists, so paneProc
// finds it from the handle alone, and the panes need no global.
#pragma once

#include <windows.h>

#include <cstdint>

#include "view/scroll_request.h"

namespace tarvo {

class PaneWindow {
public:
    // Creates the window as a child of `parent` and keeps a device context
    // of it for the program's life: panes repaint through it outside
    // WM_PAINT.
    void create(HWND parent, const char* name, DWORD style, HINSTANCE instance);
    HWND window() const { return window_; }
    HDC keptDc() const { return keptDc_; }

    // Paints the whole pane into dc, or into the kept context when dc is
    // null; nothing before the window and its kept context exist.
    virtual void paint(HDC dc) = 0;
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~PaneWindow() = default;

    // WM_PAINT: everything, into BeginPaint's context.
    void onPaint();

    // Moves scroll bar `bar` (SB_VERT or SB_HORZ) for a scroll message's or
    // a wheel's wParam, or by `steps` positions, and returns its new
    // position, clamped by the bar to its range.
    int32_t scrollBarTo(int bar, WPARAM request, bool fromWheel, int32_t stepsPerNotch);
    int32_t scrollBarBy(int bar, int32_t steps);

private:
    ScrollBarState readScrollBar(int bar) const;
    int32_t moveScrollBar(int bar, int32_t position);

    HWND window_ = nullptr;
    HDC keptDc_ = nullptr;
};

// The window procedure of the class "Pane". Messages that arrive while a
// pane is being created, before its object is stored, go to DefWindowProcA.
LRESULT CALLBACK paneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tarvo
