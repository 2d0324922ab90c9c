#include "shell/main_window_win32.h"

#include <windowsx.h>

#include <commctrl.h>
#include <shellapi.h>

#include "engine/search_request.h"
#include "shell/commands_win32.h"
#include "shell/edit_box_win32.h"
#include "shell/program_win32.h"
#include "shell/resources/resource.h"
#include "shell/status_panel_win32.h"
#include "view/text_drawing_win32.h"

namespace tarvo {

namespace {

constexpr UINT_PTR kRefreshTimer = 1;
// The status line and the list repaint at most this often during a search,
// however fast files are counted.
constexpr UINT kRefreshPeriodMs = 250;
// Where the Find and Path labels end: the label and two spaces.
constexpr const char* kLabelMeasure = "Find:  ";
// Borderless single-line boxes on the face colour; the panes scroll vertically,
// the preview sideways too.
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
constexpr DWORD kPaneStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL;

RECT toRect(const LayoutRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

HWND createChild(HWND parent, const char* className, const char* name, DWORD style) {
    return CreateWindowExA(0, className, name, style, 0, 0, 0, 0, parent, nullptr,
                           program().instance, nullptr);
}

void moveChild(HWND child, const LayoutRect& r) {
    SetWindowPos(child, nullptr, r.left, r.top, r.width(), r.height(), 0);
}

void storeWindowRect(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    program().settings.windowRect = WindowRect{r.left, r.top, r.right, r.bottom};
}

void onCreate(HWND window) {
    Program& p = program();
    MainWindows& w = p.windows;
    w.main = window;
    w.mainDc = GetDC(window);
    createFonts(w.mainDc);

    w.findBox = createChild(window, "EDIT", nullptr, kEditStyle);
    SetFocus(w.findBox);
    PostMessageA(w.findBox, WM_KEYDOWN, VK_END, 0);  // the caret at the end of the text
    w.pathBox = createChild(window, "EDIT", nullptr, kEditStyle);
    w.fileBox = createChild(window, "EDIT", nullptr, kEditStyle | ES_READONLY);
    for (HWND box : {w.findBox, w.pathBox, w.fileBox}) {
        SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle(InterfaceFont)), 0);
    }
    p.standardEditProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w.findBox, GWLP_WNDPROC));
    for (HWND box : {w.findBox, w.pathBox, w.fileBox}) {
        SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editBoxProc));
    }
    SetWindowTextA(w.findBox, p.settings.request.findText.c_str());
    SetWindowTextA(w.pathBox, p.settings.request.pathText.c_str());

    p.previewPane.setFileBox(w.fileBox);
    p.resultsPane.create(window, "Results", kPaneStyle, p.instance);
    p.results.clearResults();
    p.previewPane.create(window, "Preview", kPaneStyle | WS_HSCROLL, p.instance);

    SetTimer(window, kRefreshTimer, kRefreshPeriodMs, nullptr);
    DragAcceptFiles(window, TRUE);
}

// Maximised and minimised rectangles are not the placement to restore.
bool isPlacedNormally(HWND window) {
    return !IsIconic(window) && !IsZoomed(window);
}

void onMove(HWND window) {
    if (isPlacedNormally(window)) storeWindowRect(window);
}

void onSize(HWND window, WPARAM kind, LPARAM size) {
    layoutMainWindow(LOWORD(size), HIWORD(size));
    if (kind != SIZE_MAXIMIZED && kind != SIZE_MINIMIZED) storeWindowRect(window);
}

void onSetFocus() {
    if (HWND findBox = program().windows.findBox) SetFocus(findBox);
}

void onPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    paintMainWindow(dc);
    EndPaint(window, &paint);
}

void onTimer() {
    Program& p = program();
    if (!p.refreshPending) return;
    paintStatusLine();
    p.resultsPane.paint(nullptr);
    p.refreshPending = false;
}

void onLeftButtonDown(LPARAM at) {
    Program& p = program();
    const POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    const struct {
        const LayoutRect& cell;
        SortMode mode;
    } headers[] = {{p.layout.rankHeader, ByRank},
                   {p.layout.fileHeader, ByFileName},
                   {p.layout.lineHeader, ByLineText}};
    for (const auto& header : headers) {
        RECT cell = toRect(header.cell);
        if (PtInRect(&cell, point)) {
            p.results.setSortMode(header.mode);
            return;
        }
    }
}

// The wheel goes to the window that has the focus; route it instead to the
// pane under the pointer.
LRESULT onMouseWheel(UINT message, WPARAM wParam, LPARAM lParam) {
    const Program& p = program();
    const POINT pointer{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (HWND pane : {p.resultsPane.window(), p.previewPane.window()}) {
        RECT area;
        GetWindowRect(pane, &area);
        if (PtInRect(&area, pointer)) return SendMessageA(pane, message, wParam, lParam);
    }
    return 0;
}

// The results list tells of a double-click on a row, as list controls do.
void onNotify(const NMHDR& note) {
    if (note.hwndFrom == program().resultsPane.window() && note.code == NM_DBLCLK)
        runCommand(IDM_OPEN_IN_EDITOR);
}

// A right click on a results row (the list lets only those through): the
// row's menu at the pointer; its commands come back as WM_COMMAND.
void onContextMenu(HWND from, LPARAM at) {
    const Program& p = program();
    if (from != p.resultsPane.window()) return;
    HMENU menu = LoadMenuA(p.instance, MAKEINTRESOURCEA(IDR_RESULT_MENU));
    HMENU popup = GetSubMenu(menu, 0);
    SetMenuDefaultItem(popup, IDM_OPEN_IN_EDITOR, FALSE);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, GET_X_LPARAM(at), GET_Y_LPARAM(at), 0, p.windows.main,
                   nullptr);
    DestroyMenu(menu);
}

// Folders and files dropped from Explorer become the Path text, joined with
// ";" as the Path box takes several roots; Enter then searches them.
void onDropFiles(HDROP drop) {
    std::string paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string path(length, '\0');
        DragQueryFileA(drop, i, path.data(), length + 1);
        if (!paths.empty()) paths += ';';
        paths += path;
    }
    DragFinish(drop);
    const MainWindows& w = program().windows;
    SetWindowTextA(w.pathBox, cutToTextLimit(paths).c_str());
    // The drag source is the active window while it drags.
    SetForegroundWindow(w.main);
    focusAtEnd(w.pathBox);
}

}  // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            onCreate(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_MOVE:
            onMove(window);
            return 0;
        case WM_SIZE:
            onSize(window, wParam, lParam);
            return 0;
        case WM_SETFOCUS:
            onSetFocus();
            return 0;
        case WM_PAINT:
            onPaint(window);
            return 0;
        case WM_COMMAND:
            runCommand(LOWORD(wParam));
            return 0;
        case WM_TIMER:
            onTimer();
            return 0;
        case WM_LBUTTONDOWN:
            onLeftButtonDown(lParam);
            return 0;
        case WM_MOUSEWHEEL:
            return onMouseWheel(message, wParam, lParam);
        case WM_NOTIFY:
            onNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return 0;
        case WM_CONTEXTMENU:
            onContextMenu(reinterpret_cast<HWND>(wParam), lParam);
            return 0;
        case WM_DROPFILES:
            onDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

void layoutMainWindow(int cw, int ch) {
    Program& p = program();
    const MainWindows& w = p.windows;
    const int H = lineHeight(InterfaceFont);
    p.layout = computeMainLayout(cw, ch, textWidth(kLabelMeasure, InterfaceFont), H);
    const MainLayout& l = p.layout;
    moveChild(w.findBox, l.findBox);
    moveChild(w.pathBox, l.pathBox);
    moveChild(w.fileBox, l.fileBox);
    moveChild(p.resultsPane.window(), l.resultsPane);
    moveChild(p.previewPane.window(), l.previewPane);
    for (const LayoutRect& band : resizedBands(l, cw, ch, H)) {
        RECT r = toRect(band);
        InvalidateRect(w.main, &r, FALSE);
    }
}

}  // namespace tarvo
