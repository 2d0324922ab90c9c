// The commands that hand something to another program: New Window, Open,
// Open with Notepad and Go to Online Documentation. None waits for the
// program it starts and none reports a failure; Open and Open with Notepad
// beep when no file is previewed.
#pragma once

#include <windows.h>

#include <string>

#include "shell/launching.h"

namespace tarvo {

struct Program;

// Saves the settings with the window rectangle moved kNewWindowOffset right
// and down, then starts this executable again without arguments; the new
// instance takes its texts, options, memory and placement from that file.
void openNewWindow(Program& program);

// The previewed file in the application the system associates with it; a
// file of a type that opening would run is shown instead (open_decision.h):
// by its type's edit verb, started here as a process, else (no verb, or
// one whose program cannot start) in the editor or Notepad.
void openPreviewedFile(Program& program);

// The previewed file in Notepad, found along the executable search path.
void openWithNotepad(const Program& program);

// The user guide in the system's browser: the one beside the executable,
// else the copy built into the program, written to the temporary folder.
void openDocumentation();

// The file Help opens, as the About box names it.
UserGuide findUserGuide();

// Whether `path` names a file (not a folder) that is there now.
bool isFile(const std::string& path);

// MessageBeep's "simple beep" argument: the speaker, not a sound scheme.
inline constexpr UINT kSimpleBeep = 0xFFFFFFFF;

// How these commands reach the system. Tests replace the members to watch a
// beep, a process start or a shell open without making one.
struct Launcher {
    void (*beep)(UINT type);
    // Starts a process without waiting; false when it could not be started.
    bool (*startProcess)(const char* application, const char* commandLine);
    // `verb` null: the default verb.
    void (*shellOpen)(const char* file, const char* verb);
    // Starts a program named as the user would name it to the Run box (a
    // full path, or a name the shell finds under App Paths or along the
    // search path) without waiting and without the shell's own error box;
    // 0, or the system's error code.
    DWORD (*startProgram)(const char* program, const char* arguments);
};
Launcher& launcher();

// The real startProcess: CreateProcessW on the UTF-8 texts made UTF-16,
// both handles closed at once.
bool startDetachedProcess(const char* application, const char* commandLine);

}  // namespace tarvo
