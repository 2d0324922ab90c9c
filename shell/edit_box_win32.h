// The procedure of the Find, Path and File boxes, installed in place of the
// EDIT class's own: Tab cycles the boxes, the list keys move the results
// selection while the caret stays put, Enter starts, restarts or stops.
#pragma once

#include <windows.h>

namespace tarvo {

LRESULT CALLBACK editBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tarvo
