// The texts of the main window's title and of the prompt and About dialogs.
// Line breaks are "\r\n", the form static controls and edit boxes show as a
// new line.
#pragma once

#include <string>
#include <string_view>

#include "shell/launching.h"

namespace tarvo {

inline constexpr const char* kProgramName = "Tarvo Search";
inline constexpr const char* kVersionLine = "Tarvo Search, version " TARVO_VERSION;

inline constexpr const char* kExcludeTitle = "Exclude File Types";
inline constexpr const char* kExcludeLabel =
    "Enter the extensions of the files you want to exclude from the search. Separate the "
    "extensions with semicolons.\r\n\r\nExample: .log;.html";

inline constexpr const char* kIncludeTitle = "Only File Types";
inline constexpr const char* kIncludeLabel =
    "Enter the extensions of the only files you want searched, separated by semicolons. Leave "
    "the box empty to search every file.\r\n\r\nExample: .c;.cpp;.h";

inline constexpr const char* kSkipFoldersTitle = "Skip Folders";
inline constexpr const char* kSkipFoldersLabel =
    "Enter the names of the folders the search should never enter, separated by "
    "semicolons.\r\n\r\nExample: node_modules;obj;bin;.vs";

inline constexpr const char* kEditorTitle = "Editor Command";
inline constexpr const char* kEditorLabel =
    "Enter the command that opens a file in your editor: %path% stands for the result's file, "
    "%line% for its line number.\r\n\r\nExample: code -g \"%path%:%line%\"";

inline constexpr const char* kHighlightTitle = "Syntax Highlighting";
inline constexpr const char* kHighlightLabel =
    "Enter the extensions of the files you want displayed with C++ syntax highlighting. Separate "
    "the extensions with semicolons.\r\n\r\nExample: .c;.cpp;.cxx;.h";

inline constexpr const char* kTabWidthTitle = "Tab Width";
inline constexpr const char* kTabWidthLabel =
    "Enter the number of columns from one tab stop to the next in the list and the preview, "
    "from 1 to 16.\r\n\r\nThe default is 4.";

// "FIND TEXT - Tarvo Search" for the search the window holds, so that
// windows and taskbar buttons tell several searches apart; the program's
// name alone before the first search or for an empty Find text.
std::string windowTitle(std::string_view findText);

// A message box is as wide as its longest line, and a path has no blank to
// wrap at (one of 300 characters made a box 1,872 pixels wide). A stretch
// without blanks longer than this many characters is cut in its middle,
// which keeps a box within about 600 pixels.
inline constexpr int kMaxMessageWordCharacters = 80;

// The message as a box shows it: every stretch without blanks or line
// breaks that is longer than kMaxMessageWordCharacters cut in its middle as
// the results list cuts a path (fitTextToWidth, counting characters), so
// its start and its file name both show.
std::string messageBoxText(std::string_view message);

// Three line breaks, the version line, then a paragraph that points to the
// Help menu and says which file it opens.
std::string aboutText(const UserGuide& guide);

}  // namespace tarvo
