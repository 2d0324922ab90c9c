#include "shell/commands_win32.h"

#include <windows.h>

#include "shell/copy_commands_win32.h"
#include "shell/dialogs_win32.h"
#include "shell/drop_down_win32.h"
#include "shell/editor_win32.h"
#include "shell/folder_picker_win32.h"
#include "shell/launching_win32.h"
#include "shell/pane_focus_win32.h"
#include "shell/program_win32.h"
#include "shell/resources/resource.h"

namespace tarvo {

namespace {

// The option items with the option each one toggles, in menu order.
struct OptionItem {
    int id;
    bool SearchOptions::*option;
    // Recursive, Skip Binary Files and Skip Ignored Files change which files
    // a search reads, so the remembered files' priorities no longer describe
    // the next search.
    bool clearsMemory;
};
constexpr OptionItem kOptionItems[] = {
    {IDM_RECURSIVE, &SearchOptions::recursive, true},
    {IDM_SKIP_BINARY_FILES, &SearchOptions::skipBinaryFiles, true},
    {IDM_SKIP_IGNORED_FILES, &SearchOptions::skipIgnoredFiles, true},
    {IDM_SEARCH_FILE_NAMES, &SearchOptions::searchFileNames, false},
    {IDM_CASE_SENSITIVE_BONUS, &SearchOptions::caseSensitiveBonus, false},
    {IDM_WHOLE_WORD_BONUS, &SearchOptions::wholeWordBonus, false},
    {IDM_CPP_HEURISTICS, &SearchOptions::cppHeuristics, false},
};

void toggleOption(Program& p, const OptionItem& item) {
    bool& option = p.settings.request.options.*item.option;
    option = !option;
    updateOptionChecks(p);
    if (item.clearsMemory) p.memory.clear();
}

void setRunState(Program& p, RunState state) {
    p.runState = state;
}

// Esc, from any window: the list open under a box takes it first, as a
// combo box's does; otherwise it stops a running search, as F6 does, and
// with no search running it does nothing.
void onEscape(Program& p) {
    if (p.dropDown.box) return closeDropDown(p);
    if (p.runState == RunState::Running) setRunState(p, RunState::Idle);
}

}  // namespace

void runCommand(Program& p, int id) {
    for (const OptionItem& item : kOptionItems) {
        if (item.id == id) return toggleOption(p, item);
    }
    switch (id) {
        case IDM_NEW_WINDOW:
            return openNewWindow(p);
        case IDM_EXIT:
            return PostQuitMessage(0);  // as WM_DESTROY does
        case IDM_START:
            return setRunState(p, RunState::StartRequested);
        case IDM_STOP:
            return setRunState(p, RunState::Idle);
        case IDM_BROWSE_FOLDER:
            return browseForFolder(p, false);
        case IDM_ADD_FOLDER:
            return browseForFolder(p, true);
        case IDM_EXCLUDE_FILE_TYPES:
            return editExcludeList(p);
        case IDM_ONLY_FILE_TYPES:
            return editIncludeList(p);
        case IDM_SKIP_FOLDERS:
            return editSkipFolders(p);
        case IDM_OPEN:
            return openPreviewedFile(p);
        case IDM_OPEN_WITH_NOTEPAD:
            return openWithNotepad(p);
        case IDM_OPEN_IN_EDITOR:
            return openInEditor(p);
        case IDM_EDITOR_COMMAND:
            return (void)editEditorCommand(p);
        case IDM_COPY_RESULT:
            return copyResult(p);
        case IDM_COPY_PATH:
            return copyResultPath(p);
        case IDM_COPY_ALL_RESULTS:
            return copyAllResults(p);
        case IDM_SYNTAX_HIGHLIGHTING:
            return editHighlightList(p);
        case IDM_TAB_WIDTH:
            return editTabWidth(p);
        case IDM_ESCAPE:
            return onEscape(p);
        case IDM_NEXT_PANE:
        case IDM_PREVIOUS_PANE:
            return moveFocusRound(p, id == IDM_NEXT_PANE);
        case IDM_ONLINE_DOCUMENTATION:
            return openDocumentation();
        case IDM_ABOUT:
            return aboutDialog(p);
        default:
            return;
    }
}

void updateOptionChecks(const Program& p) {
    HMENU menu = GetMenu(p.windows.main);
    for (const OptionItem& item : kOptionItems) {
        const UINT mark = p.settings.request.options.*item.option ? MF_CHECKED : MF_UNCHECKED;
        CheckMenuItem(menu, item.id, MF_BYCOMMAND | mark);
    }
}

}  // namespace tarvo
