#include "shell/dialogs_win32.h"

#include "app/clock.h"
#include "engine/search_request.h"
#include "engine/system_path_win32.h"
#include "shell/dialog_texts.h"
#include "shell/launching_win32.h"
#include "shell/program_win32.h"
#include "shell/resources/resource.h"
#include "view/display_scale.h"
#include "view/display_scale_win32.h"

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

// The banner's 500 x 54 pixels are a size at 96 DPI: its size at the
// dialog's DPI.
SIZE bannerSize(HWND dialog, HBITMAP banner) {
    BITMAP bitmap = {};
    GetObjectA(banner, sizeof bitmap, &bitmap);
    const int dpi = static_cast<int>(windowDpi(dialog));
    return {scaleToDpi(bitmap.bmWidth, dpi), scaleToDpi(bitmap.bmHeight, dpi)};
}

HBITMAP loadBanner(HWND dialog) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    return LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_BANNER));
}

// The banner's control, whose size in dialog units only comes near the
// banner's, takes the banner's size, centred across the dialog.
void placeBanner(HWND dialog) {
    HWND control = GetDlgItem(dialog, IDC_ABOUT_BANNER);
    HBITMAP banner = loadBanner(dialog);
    const SIZE size = bannerSize(dialog, banner);
    DeleteObject(banner);
    RECT area, client;
    GetWindowRect(control, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    GetClientRect(dialog, &client);
    SetWindowPos(control, nullptr, (client.right - size.cx) / 2, area.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The banner at the dialog's scale, centred in its control. Drawn at each
// paint, so it follows the dialog to a screen of another scale.
INT_PTR drawBanner(HWND dialog, const DRAWITEMSTRUCT& item) {
    if (item.CtlID != IDC_ABOUT_BANNER) return FALSE;
    HBITMAP banner = loadBanner(dialog);
    BITMAP bitmap = {};
    GetObjectA(banner, sizeof bitmap, &bitmap);
    const SIZE scaled = bannerSize(dialog, banner);
    const int width = scaled.cx, height = scaled.cy;
    const RECT& area = item.rcItem;
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ previous = SelectObject(source, banner);
    SetStretchBltMode(item.hDC, HALFTONE);
    SetBrushOrgEx(item.hDC, 0, 0, nullptr);  // as HALFTONE asks
    StretchBlt(item.hDC, (area.left + area.right - width) / 2, area.top, width, height, source, 0,
               0, bitmap.bmWidth, bitmap.bmHeight, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(banner);
    return TRUE;
}

// Escape arrives as IDCANCEL and the missing close box as WM_CLOSE, which
// the dialog manager also turns into IDCANCEL: neither is handled, so only
// OK and Enter close the box.
INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, aboutText(findUserGuide()).c_str());
            placeBanner(dialog);
            return FALSE;
        case WM_DRAWITEM:
            return drawBanner(dialog, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
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

void editTabWidth(Program& p) {
    std::string width = std::to_string(tabWidthOf(p.settings));
    if (!promptDialog(p, kTabWidthTitle, kTabWidthLabel, width)) return;
    const std::optional<int> columns = parseTabWidth(width);
    if (!columns) return (void)MessageBeep(MB_ICONWARNING);
    p.settings.tabWidth = *columns;
    useTabWidth(p);
}

}  // namespace tarvo
