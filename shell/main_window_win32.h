// The main window: created for the program, which it keeps
// on itself from WM_NCCREATE on. Its procedure only dispatches, one short
// handler per message, each handed the program. Every handler may run
// nested inside a search (the search pumps messages), so each is safe with
// a half-filled result store.
#pragma once

#include <windows.h>

namespace tarvo {

struct Program;

// The main window's class name.
inline constexpr const char* kMainWindowClass = "vrex";

// Creates the main window for `program` at the saved placement and shows it
// with `showState`; null when it cannot be created.
HWND createMainWindow(Program& program, int showState);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The program a main window was created for.
Program& programOf(HWND mainWindow);

}  // namespace tarvo
