#include "shell/main_window_win32.h"

#include <windowsx.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "engine/search_request.h"
#include "engine/system_path_win32.h"
#include "shell/commands_win32.h"
#include "shell/dialog_texts.h"
#include "shell/edit_box_win32.h"
#include "shell/layout_drag_win32.h"
#include "shell/program_win32.h"
#include "shell/resources/resource.h"
#include "shell/status_panel_win32.h"
#include "shell/window_placement.h"
#include "view/display_scale.h"
#include "view/display_scale_win32.h"
#include "view/marked_text.h"
#include "view/text_class.h"
#include "view/text_drawing_win32.h"
#include "view/window_object_win32.h"

namespace tarvo {

namespace {

// The placement sentinel of the settings is the window system's own.
static_assert(kDefaultPlacement == CW_USEDEFAULT);

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

// A Unicode window from its creation: an edit control keeps its text in the
// form it was created for, so an ANSI one would lose what the system's code
// page lacks, however it is subclassed later.
HWND createEditBox(const Program& p, HWND parent, DWORD style) {
    return CreateWindowExW(0, L"EDIT", nullptr, style, 0, 0, 0, 0, parent, nullptr, p.instance,
                           nullptr);
}

void moveChild(HWND child, const LayoutRect& r) {
    SetWindowPos(child, nullptr, r.left, r.top, r.width(), r.height(), 0);
}

void storeWindowRect(Program& p, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    p.settings.windowRect = WindowRect{r.left, r.top, r.right, r.bottom};
}

// ---------------------------------------------------------------------------
// Layout and painting: where the children go, and what the main window
// draws on its own surface around them.
// ---------------------------------------------------------------------------

UserLayout userLayout(const Settings& s) {
    return {s.columnWidths.value_or(kDefaultColumnWidths), s.listShare};
}

LayoutMetrics layoutMetrics(const Fonts& fonts) {
    return {fonts.dpi(),
            fonts.textWidth(kLabelMeasure, FontIndex::Interface),
            fonts.lineHeight(FontIndex::Interface),
            fonts.lineHeight(FontIndex::Preview),
            fonts.characterWidth(FontIndex::Interface),
            fonts.textWidth(kRankHeaderLabel, FontIndex::Interface)};
}

// Computes the layout for a client area, moves the five children and
// invalidates the bands of the main window's own surface that moved.
void layoutMainWindow(Program& p, int cw, int ch) {
    const MainWindows& w = p.windows;
    p.layout = computeMainLayout(cw, ch, layoutMetrics(p.fonts), userLayout(p.settings));
    const MainLayout& l = p.layout;
    p.resultsPane.setColumns(l.columns);
    moveChild(w.findBox, l.findBox);
    moveChild(w.pathBox, l.pathBox);
    moveChild(w.fileBox, l.fileBox);
    for (HWND box : {w.findBox, w.pathBox, w.fileBox})
        showTextStart(box);
    moveChild(p.resultsPane.window(), l.resultsPane);
    moveChild(p.previewPane.window(), l.previewPane);
    for (const LayoutRect& band : resizedBands(l, cw, ch)) {
        RECT r = toRect(band);
        InvalidateRect(w.main, &r, FALSE);
    }
}

// The fonts for `dpi`, handed to the boxes; the old ones are deleted once
// the kept contexts, which may still hold them, let go of them.
void makeFonts(Program& p, int dpi) {
    MainWindows& w = p.windows;
    const std::array<HFONT, 2> old = p.fonts.create(w.mainDc, dpi);
    for (HWND box : {w.findBox, w.pathBox, w.fileBox}) {
        if (box)
            SendMessageA(box, WM_SETFONT,
                         reinterpret_cast<WPARAM>(p.fonts.handle(FontIndex::Interface)), TRUE);
    }
    for (HDC dc : {w.mainDc, p.resultsPane.keptDc(), p.previewPane.keptDc()}) {
        if (dc) SelectObject(dc, GetStockObject(SYSTEM_FONT));
    }
    for (HFONT font : old) {
        if (font) DeleteObject(font);
    }
    // The Line column's cuts were measured in the old font.
    p.results.remeasureLineColumn();
    p.resultsPane.forgetRowCache();
}

// A grey line over a white one, across the whole window: an etched groove.
void drawGroove(HDC dc, int y) {
    SetDCPenColor(dc, kEdgeShadowColour);
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, kFarEdge, y);
    SetDCPenColor(dc, kEdgeHighlightColour);
    MoveToEx(dc, 0, y + 1, nullptr);
    LineTo(dc, kFarEdge, y + 1);
}

void drawLabel(HDC dc, const LayoutRect& rect, const char* label) {
    drawText(dc, rect.left, rect.top, label);
}

// The face-coloured ground, the labels, the status line and the column
// headers; the panes and edit boxes paint themselves.
void paintMainWindow(const Program& p, HDC dc) {
    const MainLayout& l = p.layout;
    selectDrawingTools(dc, p.fonts.handle(FontIndex::Interface));
    SetDCBrushColor(dc, p.faceColour);
    Rectangle(dc, -1, -1, kFarEdge, kFarEdge);
    drawGroove(dc, 0);  // under the menu bar
    drawLabel(dc, l.findLabel, "Find:");
    drawLabel(dc, l.pathLabel, "Path:");
    drawLabel(dc, l.fileLabel, "File:");
    paintStatusLine(p, dc);
    auto header = [&](const LayoutRect& r, const char* label) {
        drawHeaderBox(dc, p.fonts, r.left, r.top, r.right, r.bottom, p.faceColour, label);
    };
    header(l.rankHeader, kRankHeaderLabel);
    header(l.fileHeader, kFileHeaderLabel);
    header(l.lineHeader, kLineHeaderLabel);
    if (l.resultsPane.height() > 0)
        drawGroove(dc, l.resultsBottom + scaleToDpi(kGrooveOffset, p.fonts.dpi()));
}

// ---------------------------------------------------------------------------
// Messages: one short handler each, handed the program.
// ---------------------------------------------------------------------------

void onCreate(Program& p, HWND window) {
    MainWindows& w = p.windows;
    w.main = window;
    w.mainDc = GetDC(window);
    makeFonts(p, static_cast<int>(windowDpi(window)));

    w.findBox = createEditBox(p, window, kEditStyle);
    SetFocus(w.findBox);
    PostMessageA(w.findBox, WM_KEYDOWN, VK_END, 0);  // the caret at the end of the text
    w.pathBox = createEditBox(p, window, kEditStyle);
    w.fileBox = createEditBox(p, window, kEditStyle | ES_READONLY);
    for (HWND box : {w.findBox, w.pathBox, w.fileBox}) {
        SendMessageA(box, WM_SETFONT,
                     reinterpret_cast<WPARAM>(p.fonts.handle(FontIndex::Interface)), FALSE);
    }
    // Subclassed with a Unicode procedure: the boxes hold paths and terms in any script, typed or
    // set, whatever the system's code page.
    p.standardEditProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w.findBox, GWLP_WNDPROC));
    for (HWND box : {w.findBox, w.pathBox, w.fileBox}) {
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editBoxProc));
    }
    SetWindowTextW(w.findBox, wideText(p.settings.request.findText).c_str());
    SetWindowTextW(w.pathBox, wideText(p.settings.request.pathText).c_str());

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

void onMove(Program& p, HWND window) {
    if (isPlacedNormally(window)) storeWindowRect(p, window);
}

// A maximised window keeps the rectangle it is restored to, and is kept
// maximised over a restart; a minimised one keeps both as they were.
void onSize(Program& p, HWND window, WPARAM kind, LPARAM size) {
    layoutMainWindow(p, LOWORD(size), HIWORD(size));
    if (kind == SIZE_MAXIMIZED) p.settings.maximized = true;
    if (kind == SIZE_RESTORED) p.settings.maximized = false;
    if (kind != SIZE_MAXIMIZED && kind != SIZE_MINIMIZED) storeWindowRect(p, window);
}

// The window cannot be made smaller than what shows the menu bar, both
// boxes' labels, the columns, a row of the list and a few preview lines.
void onGetMinMaxInfo(const Program& p, HWND window, MINMAXINFO& info) {
    if (!p.windows.mainDc) return;  // before WM_CREATE: no fonts yet
    const ClientSize client = minimumClientSize(layoutMetrics(p.fonts));
    RECT frame{0, 0, client.width, client.height};
    adjustWindowRectForDpi(frame, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), true,
                           static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)),
                           static_cast<UINT>(p.fonts.dpi()));
    const int borders = frame.right - frame.left - client.width;
    // The menu bar's items side by side, which they stand while it is one line.
    int menuWidth = 0;
    HMENU menu = GetMenu(window);
    for (int item = 0; item < GetMenuItemCount(menu); ++item) {
        RECT r;
        if (GetMenuItemRect(window, menu, static_cast<UINT>(item), &r))
            menuWidth += r.right - r.left;
    }
    info.ptMinTrackSize.x = std::max<LONG>(frame.right - frame.left, menuWidth + borders);
    info.ptMinTrackSize.y = frame.bottom - frame.top;
}

// The window was moved to a screen of another scale (or the scale was
// changed): fonts for the new DPI, and the rectangle Windows suggests,
// which keeps the window's place and grows or shrinks it with the scale.
void onDpiChanged(Program& p, HWND window, UINT dpi, const RECT& suggested) {
    makeFonts(p, static_cast<int>(dpi));
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    relayout(p);  // the size may be the same
    InvalidateRect(window, nullptr, FALSE);
}

void onSetFocus(const Program& p) {
    if (HWND findBox = p.windows.findBox) SetFocus(findBox);
}

void onPaint(const Program& p, HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    paintMainWindow(p, dc);
    EndPaint(window, &paint);
}

void onTimer(Program& p) {
    if (!p.refreshPending) return;
    paintStatusLine(p);
    p.resultsPane.paint(nullptr);
    p.refreshPending = false;
}

// A press on a column border or the splitter starts a drag; on a header
// cell it sorts by that column.
void onLeftButtonDown(Program& p, LPARAM at) {
    const POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (beginLayoutDrag(p, point.x, point.y)) return;
    const struct {
        const LayoutRect& cell;
        SortMode mode;
    } headers[] = {{p.layout.rankHeader, SortMode::ByRank},
                   {p.layout.fileHeader, SortMode::ByFileName},
                   {p.layout.lineHeader, SortMode::ByLineText}};
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
LRESULT onMouseWheel(const Program& p, UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT pointer{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (HWND pane : {p.resultsPane.window(), p.previewPane.window()}) {
        RECT area;
        GetWindowRect(pane, &area);
        if (PtInRect(&area, pointer)) return SendMessageA(pane, message, wParam, lParam);
    }
    return 0;
}

// The results list tells of a double-click on a row, and of Enter while it
// holds the focus, as list controls do: both open the row as F9 does.
void onNotify(Program& p, const NMHDR& note) {
    if (note.hwndFrom == p.resultsPane.window() &&
        (note.code == NM_DBLCLK || note.code == NM_RETURN))
        runCommand(p, IDM_OPEN_IN_EDITOR);
}

// A right click on a results row (the list lets only those through): the
// row's menu at the pointer; its commands come back as WM_COMMAND.
void onContextMenu(const Program& p, HWND from, LPARAM at) {
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
void onDropFiles(const Program& p, HDROP drop) {
    std::string paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        if (!paths.empty()) paths += ';';
        paths += utf8Of(path);
    }
    DragFinish(drop);
    const MainWindows& w = p.windows;
    SetWindowTextW(w.pathBox, wideText(cutToTextLimit(paths)).c_str());
    // The drag source is the active window while it drags.
    SetForegroundWindow(w.main);
    focusAtEnd(w.pathBox);
}

}  // namespace

HWND createMainWindow(Program& p, int showState) {
    const CreatePlacement at = creationPlacement(p.settings.windowRect);
    HMENU menu = LoadMenuA(p.instance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    // The main window paints its face colour over its whole update region;
    // without clipping its children that paint would cover the panes, which
    // drew themselves through their kept contexts when the layout moved them.
    HWND window =
        CreateWindowExA(0, kMainWindowClass, kProgramName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        at.x, at.y, at.width, at.height, nullptr, menu, p.instance, &p);
    // Closed maximised, it comes back maximised, unless it was asked to show
    // otherwise (minimised, say, from a shortcut).
    const bool normalShow =
        showState == SW_SHOWNORMAL || showState == SW_SHOW || showState == SW_SHOWDEFAULT;
    if (window)
        ShowWindow(window, p.settings.maximized && normalShow ? SW_SHOWMAXIMIZED : showState);
    return window;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Program* program = windowObject<Program>(window, message, lParam);
    if (!program) return DefWindowProcA(window, message, wParam, lParam);
    Program& p = *program;
    switch (message) {
        case WM_CREATE:
            onCreate(p, window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_MOVE:
            onMove(p, window);
            return 0;
        case WM_SIZE:
            onSize(p, window, wParam, lParam);
            return 0;
        case WM_SETFOCUS:
            onSetFocus(p);
            return 0;
        case WM_GETMINMAXINFO:
            onGetMinMaxInfo(p, window, *reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_DPICHANGED:
            onDpiChanged(p, window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_PAINT:
            onPaint(p, window);
            return 0;
        case WM_COMMAND:
            runCommand(p, LOWORD(wParam));
            return 0;
        case WM_TIMER:
            onTimer(p);
            return 0;
        case WM_LBUTTONDOWN:
            onLeftButtonDown(p, lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            // The second press of a double-click elsewhere is a press.
            if (!fitColumnAt(p, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
                onLeftButtonDown(p, lParam);
            return 0;
        case WM_MOUSEMOVE:
            continueLayoutDrag(p, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            endLayoutDrag(p);
            return 0;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == window && LOWORD(lParam) == HTCLIENT &&
                setLayoutCursor(p))
                return TRUE;
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_MOUSEWHEEL:
            return onMouseWheel(p, message, wParam, lParam);
        case WM_NOTIFY:
            onNotify(p, *reinterpret_cast<const NMHDR*>(lParam));
            return 0;
        case WM_CONTEXTMENU:
            onContextMenu(p, reinterpret_cast<HWND>(wParam), lParam);
            return 0;
        case WM_DROPFILES:
            onDropFiles(p, reinterpret_cast<HDROP>(wParam));
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

Program& programOf(HWND mainWindow) {
    return *windowObject<Program>(mainWindow);
}

void relayout(Program& p) {
    RECT client;
    GetClientRect(p.windows.main, &client);
    layoutMainWindow(p, client.right, client.bottom);
}

}  // namespace tarvo
