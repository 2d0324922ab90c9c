// The modal boxes: the prompt that edits an extension list, the About box
// and the message box. Each is owned by the main window and holds whatever
// called it, a running search included, until it closes; the run's clock
// stands still meanwhile, so a search's time does not count a box's.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tarvo {

struct Program;

// Shows the prompt (template 104) with `title`, `label` and `list` in its
// edit box, the caret after the text. OK (or Enter) replaces `list` with the
// box's text, cut to kMaxTextLength, and returns true; Cancel (or Escape)
// leaves it and returns false.
bool promptDialog(Program& program, const char* title, const char* label, std::string& list);

// Shows the About box (template 105); only OK or Enter closes it.
void aboutDialog(Program& program);

// A message with OK alone and the program's name as its title, as
// messageBoxText lays it out.
void showMessage(Program& program, std::string_view text);

// Search > Exclude File Types... and Result > Syntax Highlighting...
void editExcludeList(Program& program);
void editHighlightList(Program& program);
// Search > Only File Types... and Skip Folders...: a changed list empties the
// file memory.
void editIncludeList(Program& program);
void editSkipFolders(Program& program);
// Result > Tab Width...: a number from 1 to 16 takes effect at once; OK on
// anything else beeps and leaves the width.
void editTabWidth(Program& program);

}  // namespace tarvo
