// The list under the Find and Path boxes, with a small arrow button at each
// box's right end. It shows one of two things at a time, for one box:
//
// - the box's history (Alt+Down, Alt+Up or F4, or a click on the arrow,
//   opens and closes it): typing filters it to the entries that contain
//   the box's text, and Delete removes the selected entry from the history;
// - in the Path box, the folders and files the entry after the last ";"
//   may become, offered as it is typed (folder_suggestions.h); choosing one
//   completes that entry only.
//
// The list never takes the focus: the box keeps the caret, and while the
// list is open the box's keys go to it first. Up, Down, Page Up and Page
// Down move its selection (with the list closed they move the results, as
// ever); Enter puts the selected row in the box, or, with none selected,
// closes the list and searches as Enter does; Esc closes it. The list holds
// the mouse while it is open: a click on a row takes it, a click anywhere
// else closes the list, as a combo box's list does. When nothing is left to
// show, the list closes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "shell/drop_down_rows.h"
#include "shell/folder_suggestions.h"

namespace tarvo {

struct Program;

enum class DropDownSource { History, Folders };

struct DropDown {
    HWND window = nullptr;      // the list, a popup kept hidden while closed
    HWND box = nullptr;         // the box it is open for; null while closed
    HWND findButton = nullptr;  // the arrow buttons, children of their boxes
    HWND pathButton = nullptr;
    DropDownSource source = DropDownSource::History;
    // The rows, copied: a search started from the pump may add to the
    // history while the list is open. Taking a row puts `kept` and the row
    // in the box.
    std::vector<std::string> entries;
    std::string kept;
    DropDownRows rows;
    // The Path box's completion, its last listing kept while the box has
    // the focus.
    FolderSuggester folders;
};

// Makes the list window and the two buttons; called once the boxes exist.
void createDropDown(Program& program);

// Opens the history of the Find or Path box under it, or closes it when it
// is open already.
void toggleHistory(Program& program, HWND box);
void closeDropDown(Program& program);

// The box procedure's first step: the keys that open the history, what the
// open list takes, the typing that filters it or offers folders, and what
// keeps the button at the box's right end. True when the message was
// handled, with `result` set.
bool dropDownMessage(Program& program, HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                     LRESULT& result);

}  // namespace tarvo
