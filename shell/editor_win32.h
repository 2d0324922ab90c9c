// The user's editor: finding one, asking for its command, starting it on a
// result at its line.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tarvo {

struct Program;

// Result > Open in Editor (F9) and a double-click on a row: the selected
// result at its line (line 1 for a file-name entry) with the editor command,
// else with an editor found on the machine; with neither, Editor Command...
// comes first. Beeps when no result is selected.
void openInEditor(Program& program);

// Result > Editor Command...: the prompt, showing the command set, or the
// one an editor found would use. True when closed with OK.
bool editEditorCommand(Program& program);

// The command of the first known editor installed, found the way the shell
// finds a program started by name (App Paths, then the search path); empty
// when there is none.
std::string findEditorCommand();

// Starts `command` on the file at the line. A command that cannot be
// started beeps and shows the system's reason once, in a message box;
// returns whether it started.
bool startEditor(Program& program, const std::string& command, const std::string& path,
                 int32_t line);

}  // namespace tarvo
