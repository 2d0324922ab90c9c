// The preview pane: the window half. showFile loads and centres what the
// result store selects; painting draws the rows of the lines in view over
// the rows preview_pane_rules.h builds; scrolling goes through the pane's
// scroll bar, which clamps the top line to its range.
//
// Every repaint outside WM_PAINT draws at once through the pane's kept
// context, so the pane follows the thumb and the selection without waiting
// for a paint message.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tarvo {

// Shows a file with a line (0 meaning 1) in the middle of the pane. The
// same file is not read again, and the same line of it is not repainted.
// The empty path empties the pane and the File box.
void showFile(const char* path, int32_t lineNumber);

// Paints the whole pane into dc, or into the kept context when dc is null.
// Writes the visible-line count; nothing before the pane and its kept
// context exist.
void paintPreview(HDC dc);

// Paints the row of one line in a rectangle: white, then the line's text
// when the document has that line.
void paintPreviewLine(HDC dc, int32_t line, int left, int top, int right, int bottom);

// A WM_VSCROLL or WM_MOUSEWHEEL wParam.
void scrollPreview(WPARAM request, bool fromWheel);

LRESULT previewPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tarvo
