// The main window's own surface: the face-coloured ground, the labels, the
// status line and the column headers. The panes and edit boxes paint
// themselves.
#pragma once

#include <windows.h>

namespace tarvo {

// With no device context the status line is drawn on the main window's held
// one, directly, without invalidating anything (the timer's repaint).
void paintStatusLine(HDC dc = nullptr);

void paintMainWindow(HDC dc);

}  // namespace tarvo
