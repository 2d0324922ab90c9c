// The two modal dialogs: the prompt that edits an extension list and the
// About box. Both are owned by the main window and hold whatever called
// them, a running search included, until they close.
#pragma once

#include <windows.h>

#include <string>

namespace tarvo {

struct Program;

// Shows the prompt (template 104) with `title`, `label` and `list` in its
// edit box, the caret after the text. OK (or Enter) replaces `list` with the
// box's text, cut to kMaxTextLength, and returns true; Cancel (or Escape)
// leaves it and returns false.
bool promptDialog(const Program& program, const char* title, const char* label, std::string& list);

// Shows the About box (template 105); only OK or Enter closes it.
void aboutDialog(const Program& program);

// Search > Exclude File Types... and Result > Syntax Highlighting...
void editExcludeList(Program& program);
void editHighlightList(Program& program);
// Search > Only File Types... and Skip Folders...: a changed list empties the
// file memory.
void editIncludeList(Program& program);
void editSkipFolders(Program& program);

}  // namespace tarvo
