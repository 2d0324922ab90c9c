#include "shell/commands_win32.h"

#include <windows.h>

#include "shell/copy_commands_win32.h"
#include "shell/dialogs_win32.h"
#include "shell/editor_win32.h"
#include "shell/launching_win32.h"
#include "shell/program_win32.h"
#include "shell/resources/resource.h"

namespace tarvo {

namespace {

SearchOptions& options() {
    return program().settings.request.options;
}

// The six option items with the option each one toggles, in menu order.
struct OptionItem {
    int id;
    int32_t SearchOptions::*option;
    // Recursive and Skip Binary Files change which files a search reads, so
    // the remembered files' priorities no longer describe the next search.
    bool clearsMemory;
};
constexpr OptionItem kOptionItems[] = {
    {IDM_RECURSIVE, &SearchOptions::recursive, true},
    {IDM_SKIP_BINARY_FILES, &SearchOptions::skipBinaryFiles, true},
    {IDM_SEARCH_FILE_NAMES, &SearchOptions::searchFileNames, false},
    {IDM_CASE_SENSITIVE_BONUS, &SearchOptions::caseSensitiveBonus, false},
    {IDM_WHOLE_WORD_BONUS, &SearchOptions::wholeWordBonus, false},
    {IDM_CPP_HEURISTICS, &SearchOptions::cppHeuristics, false},
};

void toggleOption(const OptionItem& item) {
    options().*item.option ^= 1;
    updateOptionChecks();
    if (item.clearsMemory) program().memory.clear();
}

void setRunState(RunState state) {
    program().runState = state;
}

}  // namespace

void runCommand(int id) {
    for (const OptionItem& item : kOptionItems) {
        if (item.id == id) return toggleOption(item);
    }
    switch (id) {
        case IDM_NEW_WINDOW:
            return openNewWindow();
        case IDM_EXIT:
            return PostQuitMessage(0);  // as WM_DESTROY does
        case IDM_START:
            return setRunState(RunState::StartRequested);
        case IDM_STOP:
            return setRunState(RunState::Idle);
        case IDM_EXCLUDE_FILE_TYPES:
            return editExcludeList();
        case IDM_OPEN:
            return openPreviewedFile();
        case IDM_OPEN_WITH_NOTEPAD:
            return openWithNotepad();
        case IDM_OPEN_IN_EDITOR:
            return openInEditor();
        case IDM_EDITOR_COMMAND:
            return (void)editEditorCommand();
        case IDM_COPY_RESULT:
            return copyResult();
        case IDM_COPY_PATH:
            return copyResultPath();
        case IDM_COPY_ALL_RESULTS:
            return copyAllResults();
        case IDM_SYNTAX_HIGHLIGHTING:
            return editHighlightList();
        case IDM_ONLINE_DOCUMENTATION:
            return openDocumentation();
        case IDM_ABOUT:
            return AboutDialog();
        default:
            return;
    }
}

void updateOptionChecks() {
    HMENU menu = GetMenu(program().windows.main);
    for (const OptionItem& item : kOptionItems) {
        const UINT mark = options().*item.option ? MF_CHECKED : MF_UNCHECKED;
        CheckMenuItem(menu, item.id, MF_BYCOMMAND | mark);
    }
}

}  // namespace tarvo
