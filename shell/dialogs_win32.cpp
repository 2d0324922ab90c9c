#include "shell/dialogs_win32.h"

#include "app/clock.h"
#include "engine/search_request.h"
#include "engine/system_path_win32.h"
#include "shell/dialog_texts.h"
#include "shell/launching_win32.h"
#include "shell/program_win32.h"
#include "shell/resources/resource.h"

namespace tarvo {

namespace {

// What the prompt shows and the list it edits, handed to its procedure in
// WM_INITDIALOG and kept in the dialog's user slot.
struct Prompt {
    const char* title;
    const char* label;
    std::string* list;
};

// The edit box read back with room for a whole list: an unedited list of any
// length the settings file keeps survives OK unchanged, and a longer paste is
// cut to the same limit.
std::string readPromptText(HWND dialog) {
    std::wstring text(kMaxTextLength + 1, L'\0');
    const UINT length = GetDlgItemTextW(dialog, IDC_PROMPT_EDIT, text.data(), kMaxTextLength + 1);
    return cutToTextLimit(utf8Of(std::wstring_view(text.data(), length)));
}

// Puts the caret after the text, as the Find box does at start-up: a key-down
// for End, handled once the dialog's loop runs.
void caretToEnd(HWND edit) {
    SetFocus(edit);
    PostMessageA(edit, WM_KEYDOWN, VK_END, 0);
}

// Returns FALSE: the focus is set.
INT_PTR onInitPrompt(HWND dialog, LPARAM prompt) {
    const auto* shown = reinterpret_cast<const Prompt*>(prompt);
    SetWindowLongPtrA(dialog, DWLP_USER, prompt);
    SetWindowTextA(dialog, shown->title);
    SetDlgItemTextA(dialog, IDC_PROMPT_LABEL, shown->label);
    HWND edit = GetDlgItem(dialog, IDC_PROMPT_EDIT);
    SetWindowTextW(edit, wideText(*shown->list).c_str());
    caretToEnd(edit);
    return FALSE;
}

// OK takes the box's text into the list; Cancel leaves the list.
INT_PTR onPromptCommand(HWND dialog, WORD id) {
    if (id != IDOK && id != IDCANCEL) return FALSE;
    if (id == IDOK) {
        const auto* prompt = reinterpret_cast<const Prompt*>(GetWindowLongPtrA(dialog, DWLP_USER));
        *prompt->list = readPromptText(dialog);
    }
    EndDialog(dialog, id);
    return TRUE;
}

INT_PTR CALLBACK promptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return onInitPrompt(dialog, lParam);
        case WM_COMMAND:
            return onPromptCommand(dialog, LOWORD(wParam));
        default:
            return FALSE;
    }
}

// Escape arrives as IDCANCEL and the missing close box as WM_CLOSE, which
// the dialog manager also turns into IDCANCEL: neither is handled, so only
// OK and Enter close the box.
INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, aboutText(findUserGuide()).c_str());
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDOK) return FALSE;
            EndDialog(dialog, IDOK);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

bool promptDialog(Program& p, const char* title, const char* label, std::string& list) {
    const ClockStopped stopped(p.clock);
    Prompt prompt{title, label, &list};
    // Made from its template as Unicode windows: the list (folder names, an
    // editor's path) holds any script whatever the system's code page.
    return DialogBoxParamW(p.instance, MAKEINTRESOURCEW(IDD_PROMPT), p.windows.main, promptProc,
                           reinterpret_cast<LPARAM>(&prompt)) == IDOK;
}

void aboutDialog(Program& p) {
    const ClockStopped stopped(p.clock);
    DialogBoxParamA(p.instance, MAKEINTRESOURCEA(IDD_ABOUT), p.windows.main, aboutProc, 0);
}

void showMessage(Program& p, std::string_view text) {
    const ClockStopped stopped(p.clock);
    MessageBoxA(p.windows.main, messageBoxText(text).c_str(), kProgramName, MB_OK);
}

// A changed exclusion list applies from the next search, a changed
// highlighting list from the next file the preview loads: nothing else
// happens after the prompt closes.
void editExcludeList(Program& p) {
    promptDialog(p, kExcludeTitle, kExcludeLabel, p.settings.request.excludeList);
}

namespace {

// Like Recursive, a changed filter forgets the remembered files: the
// memory holds only files a search could read.
void editFilterList(Program& p, const char* title, const char* label, std::string& list) {
    const std::string before = list;
    if (promptDialog(p, title, label, list) && list != before) p.memory.clear();
}

}  // namespace

void editIncludeList(Program& p) {
    editFilterList(p, kIncludeTitle, kIncludeLabel, p.settings.request.includeList);
}

void editSkipFolders(Program& p) {
    editFilterList(p, kSkipFoldersTitle, kSkipFoldersLabel, p.settings.request.skipFolders);
}

void editHighlightList(Program& p) {
    promptDialog(p, kHighlightTitle, kHighlightLabel, p.settings.request.highlightList);
}

}  // namespace tarvo
