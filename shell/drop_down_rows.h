// The rows of a drop-down list under a box, as plain arithmetic: which row
// is selected, which is at the top, and which row a point falls on. The
// window code (drop_down_win32.h) keeps one of these and paints from it.
#pragma once

#include <cstdint>

namespace tarvo {

struct DropDownRows {
    int32_t count = 0;      // rows in the list
    int32_t shown = 1;      // rows the window has room for, at least 1
    int32_t first = 0;      // the row at the top
    int32_t selected = -1;  // -1: none
};

// The list given room for `shown` rows (at least 1), the selection kept in
// view.
DropDownRows shownIn(DropDownRows rows, int32_t shown);

// The selection moved `step` rows (Up -1, Down +1, Page Up and Page Down a
// window's worth), within the list; with none selected a step down takes
// the first row and a step up the last. The top row follows, so the
// selection stays in view.
DropDownRows movedSelection(DropDownRows rows, int32_t step);

// The selected row taken out of the list: the row after it is selected
// now, or the one before when it was the last.
DropDownRows withoutSelected(DropDownRows rows);

// The top row moved `step` rows (a wheel turn), within the list; the
// selection stays where it is.
DropDownRows scrolled(DropDownRows rows, int32_t step);

// The row at `y` pixels from the top of the first row shown; -1 above the
// list or past its last row.
int32_t rowAt(const DropDownRows& rows, int32_t y, int32_t rowHeight);

}  // namespace tarvo
