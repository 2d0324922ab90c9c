// The results list pane: the window half. It paints the rows the result
// store's view state names, over the values results_pane_rules.h computes,
// and turns keys, clicks, drags, scroll bar requests and wheel turns into
// selectRow and firstVisibleRow changes.
//
// Two ways to paint: WM_PAINT draws every visible row into BeginPaint's
// context; every other repaint draws at once through the pane's kept
// context, and there the row paint cache skips rows that would look as they
// already do.
#pragma once

#include <windows.h>

#include <cstdint>

#include "results/results_pane_rules.h"

namespace tarvo {

// Paints the whole pane into dc, or into the kept context when dc is null.
// Writes visibleRows; nothing before the pane and its kept context exist.
void paintPane(HDC dc);

// Draws one display row in its rectangle when rowNeedsPaint says so.
void paintRow(HDC dc, int32_t row, const RowRect& rect);

// The row paint cache's test for one display row; records the row when it
// must be drawn.
bool rowNeedsPaint(HDC dc, int32_t row, const RowRect& rect);

// A WM_VSCROLL or WM_MOUSEWHEEL wParam. Never moves the selection.
void scrollPane(WPARAM request, bool fromWheel);

// Page Up/Down, Home, End, Up and Down select; every other key is ignored.
void handleKey(WPARAM virtualKey);

// Selects the row under a point in pane pixels; a point on no row changes
// nothing.
void selectAtPoint(uint16_t x, uint16_t y);

LRESULT resultsPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tarvo
