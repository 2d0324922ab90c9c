// A child window of class kPaneClass backed by an object: the object is handed
// to the window at creation (window_object_win32.h), so paneProc finds it
// from the handle alone. What both panes share lives here: the kept device
// context, the start of every paint, the scroll bars.
#pragma once

#include <windows.h>

#include <cstdint>

#include "view/scroll_request.h"

namespace tarvo {

// The class name of both panes' windows.
inline constexpr const char* kPaneClass = "Pane";

class PaneWindow {
public:
    // Creates the window as a child of `parent` and keeps a device context
    // of it for the program's life: panes repaint through it outside
    // WM_PAINT.
    void create(HWND parent, const char* name, DWORD style, HINSTANCE instance);
    HWND window() const { return window_; }
    HDC keptDc() const { return keptDc_; }

    // Whether the pane holds the keyboard focus, which it then shows with a
    // dotted frame.
    bool hasFocus() const { return window_ && GetFocus() == window_; }

    // Paints the whole pane into dc, or into the kept context when dc is
    // null; nothing before the window and its kept context exist.
    virtual void paint(HDC dc) = 0;
    virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~PaneWindow() = default;

    // WM_PAINT: everything, into BeginPaint's context.
    void onPaint();

    // The start of every paint: the context to draw into (dc, or the kept
    // one when dc is null) with the drawing tools and `font` selected; null
    // while the window or its kept context do not exist, and nothing is
    // drawn.
    HDC beginPanePaint(HDC dc, HFONT font);
    // The rows of `rowHeight` the window's height shows, a partly visible
    // last row included.
    int32_t rowsInWindow(int32_t rowHeight) const;

    // Range, page and position of scroll bar `bar` (SB_VERT or SB_HORZ).
    void setScrollBar(int bar, const ScrollBarState& state);
    // Moves scroll bar `bar` for a scroll message's or a wheel's wParam, or
    // by `steps` positions, and returns its new position, clamped by the bar
    // to its range.
    int32_t scrollBarTo(int bar, WPARAM request, bool fromWheel, int32_t stepsPerNotch);
    int32_t scrollBarBy(int bar, int32_t steps);

private:
    friend LRESULT CALLBACK paneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);

    ScrollBarState readScrollBar(int bar) const;
    int32_t moveScrollBar(int bar, int32_t position);

    HWND window_ = nullptr;  // from WM_NCCREATE on
    HDC keptDc_ = nullptr;   // once CreateWindowExA has returned
};

// The window procedure of kPaneClass. Messages that arrive before
// WM_NCCREATE go to DefWindowProcA.
LRESULT CALLBACK paneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tarvo
