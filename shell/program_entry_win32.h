// Start-up: settings, command line, window classes, the main window.
#pragma once

#include <windows.h>

namespace tarvo {

struct Program;

// Exit codes of a start-up that cannot build its window.
inline constexpr int kExitMainClassFailed = 1;
inline constexpr int kExitPaneClassFailed = 2;
inline constexpr int kExitWindowFailed = 3;

// Everything before the run loop. A non-empty command line becomes the Find
// text (cut to the text limit) and the current directory the Path text; no
// search starts. Ends the program with the exit codes above on failure.
void startProgram(Program& program, HINSTANCE instance, const char* commandLine, int showState);

// Makes the program, starts it, then runs the run loop; never returns.
[[noreturn]] void runProgram(HINSTANCE instance, const char* commandLine, int showState);

}  // namespace tarvo
