#include "shell/edit_box_win32.h"

#include "engine/search_request.h"
#include "engine/system_path_win32.h"
#include "shell/drop_down_win32.h"
#include "shell/main_window_win32.h"
#include "shell/program_win32.h"

namespace tarvo {

namespace {

// Home and End move the caret; with Ctrl they go to the first and last
// result.
bool isListKey(WPARAM key) {
    if (key == VK_HOME || key == VK_END) return GetKeyState(VK_CONTROL) < 0;
    return key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN;
}

// Find -> Path -> Find; the File box goes back to Find. Shift+Tab is Tab.
LRESULT onTab(const MainWindows& w, HWND box, UINT message) {
    if (message != WM_KEYDOWN) return 0;  // key-up and the character are swallowed
    focusAtEnd((box == w.findBox) ? w.pathBox : w.findBox);
    return 0;
}

// Enter takes both boxes. Unchanged texts during a search mean "stop";
// anything else (re)starts, and a new Path makes the remembered files'
// priorities meaningless.
void onEnter(Program& p) {
    Settings& s = p.settings;
    s.request.findText = readBox(p.windows.findBox);
    s.request.pathText = readBox(p.windows.pathBox);
    if (p.runState == RunState::Running && s.request.findText == s.lastFindText &&
        s.request.pathText == s.lastPathText) {
        p.runState = RunState::Idle;
        return;
    }
    if (s.request.pathText != s.lastPathText) p.memory.clear();
    s.lastFindText = s.request.findText;
    s.lastPathText = s.request.pathText;
    p.runState = RunState::StartRequested;
}

}  // namespace

std::string readBox(HWND box) {
    wchar_t text[kMaxTextLength + 1];
    LRESULT length = SendMessageW(box, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return cutToTextLimit(utf8Of(std::wstring_view(text, static_cast<size_t>(length))));
}

// The caret is set after the text directly: an End key posted to the box
// would be handled while Shift is still down (after Shift+Tab), as
// Shift+End, and select from the old caret to the end, so the next letter
// typed would replace it.
void focusAtEnd(HWND box) {
    SetFocus(box);
    const int end = GetWindowTextLengthW(box);
    SendMessageW(box, EM_SETSEL, end, end);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

// An edit box keeps its sideways scroll when it grows, so a text that now
// fits would still show from its middle: the caret is taken to the start,
// which scrolls the box back, and then to where it was.
void showTextStart(HWND box) {
    DWORD start = 0, end = 0;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    SendMessageA(box, EM_SETSEL, 0, 0);
    SendMessageA(box, EM_SCROLLCARET, 0, 0);
    SendMessageA(box, EM_SETSEL, start, end);
    SendMessageA(box, EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK editBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    // The boxes are the main window's children; it holds the program.
    Program& p = programOf(GetParent(box));
    if (LRESULT result = 0; dropDownMessage(p, box, message, wParam, lParam, result)) return result;
    const bool keyMessage = message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR;
    if (keyMessage && wParam == VK_TAB) return onTab(p.windows, box, message);
    if (message == WM_KEYDOWN && isListKey(wParam))
        return SendMessageA(p.resultsPane.window(), message, wParam, lParam);
    if (message == WM_CHAR && wParam == '\r') {
        onEnter(p);
        return 0;
    }
    return CallWindowProcW(p.standardEditProc, box, message, wParam, lParam);
}

}  // namespace tarvo
