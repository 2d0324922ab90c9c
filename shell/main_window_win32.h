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

// The labels of the list's column headers.
inline constexpr const char* kRankHeaderLabel = "Rank";
inline constexpr const char* kFileHeaderLabel = "File name (line number)";
inline constexpr const char* kLineHeaderLabel = "Line";

// Creates the main window for `program` at the saved placement and shows it
// with `showState`; null when it cannot be created.
HWND createMainWindow(Program& program, int showState);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The program a main window was created for.
Program& programOf(HWND mainWindow);

// Lays the window out again for its client area as it is: after the fonts,
// or what the user sized, changed.
void relayout(Program& program);

}  // namespace tarvo
