// What the user sizes with the mouse in the main window: the Rank and File
// columns, by the border at a header's right edge, and the share of the
// height the list and the preview split, by the band above the File row.
// Over either the pointer is the sizing cursor; a drag moves it live, held
// to the layout's limits; a double-click on a column border fits the
// column to the widest of its label and the rows in view. What is set goes
// into the settings, the columns at 96 DPI.
#pragma once

#include <windows.h>

namespace tarvo {

struct Program;

// WM_SETCURSOR: the sizing cursor over a border or the splitter, or while
// dragging; false elsewhere (the class's arrow).
bool setLayoutCursor(const Program& program);

// A press at (x, y), client pixels: starts a drag and captures the mouse
// when it is on a border or the splitter; false elsewhere.
bool beginLayoutDrag(Program& program, int x, int y);
// The pointer moved to (x, y) while a drag goes on; nothing otherwise.
void continueLayoutDrag(Program& program, int x, int y);
// The button was released or the capture lost: the drag ends where it is.
void endLayoutDrag(Program& program);

// A double-click at (x, y): fits the column whose border is there; false
// elsewhere.
bool fitColumnAt(Program& program, int x, int y);

}  // namespace tarvo
