// The status line on the main window's own surface: drawn with the rest of
// that surface in WM_PAINT, and alone, straight through the held context,
// by the refresh timer during a search.
#pragma once

#include <windows.h>

#include <string>

namespace tarvo {

struct Program;

// With no device context the status line is drawn on the main window's held
// one, directly, without invalidating anything (the timer's repaint).
void paintStatusLine(const Program& program, HDC dc = nullptr);

// What the status line says now: the counts and the time, and once a
// search has ended what the list leaves out and what the walk passed over.
std::string statusPanelText(const Program& program);

}  // namespace tarvo
