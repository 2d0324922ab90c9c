#include "shell/drop_down_win32.h"

#include <windowsx.h>

#include <algorithm>

#include "app/search_history.h"
#include "engine/system_path_win32.h"
#include "shell/edit_box_win32.h"
#include "shell/program_win32.h"
#include "view/text_class.h"
#include "view/text_drawing_win32.h"
#include "view/window_object_win32.h"

namespace tarvo {

namespace {

constexpr const char* kListClass = "TarvoDropDown";
constexpr const char* kButtonClass = "TarvoDropButton";

// Sizes at 96 DPI, scaled to the box's.
constexpr int kButtonWidth = 16;
constexpr int kBorder = 1;      // the list's grey frame
constexpr int kRowPadding = 1;  // above and below a row's text
constexpr int kTextInset = 4;   // from the frame to a row's text

int scaled(HWND window, int size) {
    return MulDiv(size, static_cast<int>(GetDpiForWindow(window)), USER_DEFAULT_SCREEN_DPI);
}

SearchHistory* historyOf(Program& p, HWND box) {
    if (box == p.windows.findBox) return &p.settings.history.find;
    if (box == p.windows.pathBox) return &p.settings.history.path;
    return nullptr;
}

HWND buttonOf(const Program& p, HWND box) {
    const DropDown& d = p.dropDown;
    if (box == p.windows.findBox) return d.findButton;
    if (box == p.windows.pathBox) return d.pathButton;
    return nullptr;
}

int rowHeight(const Program& p) {
    return p.fonts.lineHeight(FontIndex::Interface) + 2 * scaled(p.dropDown.window, kRowPadding);
}

bool caretAtEnd(HWND box) {
    DWORD end = 0;
    SendMessageW(box, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end) == GetWindowTextLengthW(box);
}

// ---------------------------------------------------------------------------
// The list: placed under its box, filled, opened and closed, its rows taken.
// ---------------------------------------------------------------------------

// As wide as the box, as many rows high as there are rows and room below the
// box on its screen; always above the program's own windows.
void placeList(Program& p) {
    DropDown& d = p.dropDown;
    RECT box;
    GetWindowRect(d.box, &box);
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    GetMonitorInfoA(MonitorFromWindow(d.box, MONITOR_DEFAULTTONEAREST), &screen);
    const int frame = 2 * scaled(d.window, kBorder);
    const int room = static_cast<int>((screen.rcWork.bottom - box.bottom - frame) / rowHeight(p));
    d.rows = shownIn(d.rows, std::min(d.rows.count, room));
    SetWindowPos(d.window, HWND_TOPMOST, box.left, box.bottom, box.right - box.left,
                 d.rows.shown * rowHeight(p) + frame, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(d.window, nullptr, FALSE);
}

void repaintButton(const Program& p, HWND box) {
    if (HWND button = buttonOf(p, box)) InvalidateRect(button, nullptr, FALSE);
}

// Shows `entries` under `box`, opening the list when it is closed or open
// for something else. The row equal to `current` is selected, else none.
void showRows(Program& p, HWND box, DropDownSource source, std::vector<std::string> entries,
              std::string kept, const std::string& current) {
    DropDown& d = p.dropDown;
    if (d.box != box || d.source != source) {
        closeDropDown(p);
        d.box = box;
        d.source = source;
        // Every click now comes here first: one outside the list closes it.
        SetCapture(d.window);
        repaintButton(p, box);
    }
    d.entries = std::move(entries);
    d.kept = std::move(kept);
    const auto found = std::find(d.entries.begin(), d.entries.end(), current);
    d.rows = DropDownRows{
        static_cast<int32_t>(d.entries.size()), 1, 0,
        found == d.entries.end() ? -1 : static_cast<int32_t>(found - d.entries.begin())};
    placeList(p);
}

void openHistory(Program& p, HWND box, const SearchHistory& history) {
    if (history.entries().empty()) return;
    showRows(p, box, DropDownSource::History, history.entries(), "", readBox(box));
}

// After the box's text changed by typing: the open history shows the
// entries that contain the text; the Path box offers the folders of the
// entry typed at its end.
void refreshAfterEdit(Program& p, HWND box) {
    DropDown& d = p.dropDown;
    const std::string text = readBox(box);
    if (d.box == box && d.source == DropDownSource::History) {
        std::vector<std::string> matches = historyOf(p, box)->matching(text);
        if (matches.empty()) return closeDropDown(p);
        return showRows(p, box, DropDownSource::History, std::move(matches), "", text);
    }
    if (box != p.windows.pathBox) return;
    FolderSuggestions offered;
    if (caretAtEnd(box)) offered = d.folders.suggest(text);
    if (offered.entries.empty()) return closeDropDown(p);
    showRows(p, box, DropDownSource::Folders, std::move(offered.entries), std::move(offered.kept),
             "");
}

// The row in the box, the caret after it.
void takeRow(Program& p, int32_t row) {
    DropDown& d = p.dropDown;
    HWND box = d.box;
    const std::string text = d.kept + d.entries[static_cast<size_t>(row)];
    closeDropDown(p);
    SetWindowTextW(box, wideText(text).c_str());
    const int end = GetWindowTextLengthW(box);
    SendMessageW(box, EM_SETSEL, end, end);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

void removeSelectedEntry(Program& p, SearchHistory& history) {
    DropDown& d = p.dropDown;
    const auto selected = d.entries.begin() + d.rows.selected;
    history.remove(*selected);
    d.entries.erase(selected);
    d.rows = withoutSelected(d.rows);
    if (d.entries.empty()) return closeDropDown(p);
    placeList(p);
}

void setRows(Program& p, const DropDownRows& rows) {
    p.dropDown.rows = rows;
    InvalidateRect(p.dropDown.window, nullptr, FALSE);
}

// The character TranslateMessage queued for a key the list took: it must
// not reach the box as well.
void dropQueuedCharacter(HWND box, WPARAM character) {
    MSG queued;
    if (PeekMessageW(&queued, box, WM_CHAR, WM_CHAR, PM_NOREMOVE) && queued.wParam == character)
        PeekMessageW(&queued, box, WM_CHAR, WM_CHAR, PM_REMOVE);
}

// A grey frame around white rows; the selected row in the system's
// selection colours.
void paintList(const Program& p, HDC dc) {
    const DropDown& d = p.dropDown;
    RECT client;
    GetClientRect(d.window, &client);
    const int frame = scaled(d.window, kBorder);
    const int h = rowHeight(p);
    selectDrawingTools(dc, p.fonts.handle(FontIndex::Interface));
    fillBox(dc, kEdgeShadowColour, 0, 0, client.right, client.bottom);
    fillBox(dc, kWhite, frame, frame, client.right - frame, client.bottom - frame);
    const int32_t end = std::min(d.rows.first + d.rows.shown, d.rows.count);
    for (int32_t row = d.rows.first; row < end; ++row) {
        const int top = frame + (row - d.rows.first) * h;
        const bool selected = row == d.rows.selected;
        if (selected)
            fillBox(dc, GetSysColor(COLOR_HIGHLIGHT), frame, top, client.right - frame, top + h);
        SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : kPlainColour);
        drawText(dc, frame + scaled(d.window, kTextInset), top + scaled(d.window, kRowPadding),
                 d.entries[static_cast<size_t>(row)]);
    }
}

// The row under a point of the list's client area; -1 off the rows.
int32_t rowAtPoint(const Program& p, POINT point) {
    const DropDown& d = p.dropDown;
    RECT client;
    GetClientRect(d.window, &client);
    if (!PtInRect(&client, point)) return -1;
    return rowAt(d.rows, point.y - scaled(d.window, kBorder), rowHeight(p));
}

// ---------------------------------------------------------------------------
// The list window's messages: the mouse, held while the list is open.
// ---------------------------------------------------------------------------

void onListPaint(const Program& p, HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    paintList(p, dc);
    EndPaint(window, &paint);
}

void onListMouseMove(Program& p, LPARAM at) {
    const int32_t row = rowAtPoint(p, POINT{GET_X_LPARAM(at), GET_Y_LPARAM(at)});
    if (row >= 0 && row != p.dropDown.rows.selected) {
        DropDownRows rows = p.dropDown.rows;
        rows.selected = row;
        setRows(p, rows);
    }
}

// A press outside the list closes it; a release on a row takes it.
void onListButton(Program& p, UINT message, LPARAM at) {
    const POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    RECT client;
    GetClientRect(p.dropDown.window, &client);
    if (message != WM_LBUTTONUP && !PtInRect(&client, point)) return closeDropDown(p);
    const int32_t row = rowAtPoint(p, point);
    if (message == WM_LBUTTONUP && row >= 0) takeRow(p, row);
}

LRESULT CALLBACK dropDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Program* program = windowObject<Program>(window, message, lParam);
    if (!program) return DefWindowProcA(window, message, wParam, lParam);
    Program& p = *program;
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;  // the box keeps the focus
        case WM_PAINT:
            onListPaint(p, window);
            return 0;
        case WM_MOUSEMOVE:
            onListMouseMove(p, lParam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            onListButton(p, message, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the mouse (a menu, a window switch).
            if (reinterpret_cast<HWND>(lParam) != window) closeDropDown(p);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------
// The arrow buttons.
// ---------------------------------------------------------------------------

// The system's combo box arrow, flat as the borderless boxes are; pressed
// while its box's history is open.
void paintButton(const Program& p, HWND button, HDC dc) {
    RECT r;
    GetClientRect(button, &r);
    const DropDown& d = p.dropDown;
    const bool open = d.box == GetParent(button) && d.source == DropDownSource::History;
    DrawFrameControl(dc, &r, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | DFCS_FLAT | (open ? DFCS_PUSHED : 0));
}

void onButtonPress(Program& p, HWND button) {
    HWND box = GetParent(button);
    if (GetFocus() != box) focusAtEnd(box);
    toggleHistory(p, box);
}

LRESULT CALLBACK dropButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    Program* program = windowObject<Program>(button, message, lParam);
    if (!program) return DefWindowProcA(button, message, wParam, lParam);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(button, &paint);
            paintButton(*program, button, dc);
            EndPaint(button, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            onButtonPress(*program, button);
            return 0;
        default:
            return DefWindowProcA(button, message, wParam, lParam);
    }
}

// The button at the box's right end, and the box's text kept clear of it.
void placeButton(const Program& p, HWND box) {
    HWND button = buttonOf(p, box);
    RECT client;
    GetClientRect(box, &client);
    const int width = std::min(scaled(box, kButtonWidth), static_cast<int>(client.right));
    SetWindowPos(button, nullptr, client.right - width, 0, width, client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(box, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width));
}

HWND createButton(Program& p, HWND box) {
    // The box paints its text and ground straight to the screen as keys
    // come; clipped, it leaves the button alone.
    SetWindowLongPtrA(box, GWL_STYLE, GetWindowLongPtrA(box, GWL_STYLE) | WS_CLIPCHILDREN);
    return CreateWindowExA(0, kButtonClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, box,
                           nullptr, p.instance, &p);
}

// ---------------------------------------------------------------------------
// The box's keys.
// ---------------------------------------------------------------------------

bool opensHistory(UINT message, WPARAM key) {
    if (message == WM_SYSKEYDOWN) return key == VK_DOWN || key == VK_UP;  // with Alt
    return message == WM_KEYDOWN && key == VK_F4;
}

// A key pressed while the box's list is open; false for the keys the box
// handles as ever.
bool onOpenListKey(Program& p, HWND box, WPARAM key) {
    const DropDownRows& rows = p.dropDown.rows;
    switch (key) {
        case VK_UP:
        case VK_DOWN:
            setRows(p, movedSelection(rows, key == VK_UP ? -1 : 1));
            return true;
        case VK_PRIOR:
        case VK_NEXT:
            setRows(p, movedSelection(rows, key == VK_PRIOR ? -rows.shown : rows.shown));
            return true;
        case VK_ESCAPE:
            closeDropDown(p);
            dropQueuedCharacter(box, VK_ESCAPE);
            return true;
        case VK_DELETE:
            if (p.dropDown.source != DropDownSource::History || rows.selected < 0) return false;
            removeSelectedEntry(p, *historyOf(p, box));
            return true;
        case VK_TAB:
            closeDropDown(p);
            return false;
        default:
            return false;
    }
}

// Enter while the list is open: the selected row, or, with none, Enter as
// ever (a search).
bool onOpenListEnter(Program& p) {
    if (p.dropDown.rows.selected < 0) {
        closeDropDown(p);
        return false;
    }
    takeRow(p, p.dropDown.rows.selected);
    return true;
}

}  // namespace

void createDropDown(Program& p) {
    WNDCLASSA listClass = {};
    listClass.lpfnWndProc = dropDownProc;
    listClass.hInstance = p.instance;
    listClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    listClass.lpszClassName = kListClass;
    RegisterClassA(&listClass);
    WNDCLASSA buttonClass = listClass;
    buttonClass.style = CS_DBLCLKS;
    buttonClass.lpfnWndProc = dropButtonProc;
    buttonClass.lpszClassName = kButtonClass;
    RegisterClassA(&buttonClass);

    DropDown& d = p.dropDown;
    // Owned by the main window, so it stays above it and hides with it.
    d.window =
        CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kListClass, nullptr,
                        WS_POPUP, 0, 0, 0, 0, p.windows.main, nullptr, p.instance, &p);
    d.findButton = createButton(p, p.windows.findBox);
    d.pathButton = createButton(p, p.windows.pathBox);
    placeButton(p, p.windows.findBox);
    placeButton(p, p.windows.pathBox);
}

void toggleHistory(Program& p, HWND box) {
    const DropDown& d = p.dropDown;
    const bool historyWasOpen = d.box == box && d.source == DropDownSource::History;
    closeDropDown(p);
    if (historyWasOpen) return;
    if (const SearchHistory* history = historyOf(p, box)) openHistory(p, box, *history);
}

void closeDropDown(Program& p) {
    DropDown& d = p.dropDown;
    if (!d.box) return;
    HWND box = d.box;
    d.box = nullptr;  // first: releasing the mouse below comes back as WM_CAPTURECHANGED
    d.entries.clear();
    ShowWindow(d.window, SW_HIDE);
    if (GetCapture() == d.window) ReleaseCapture();
    repaintButton(p, box);
}

bool dropDownMessage(Program& p, HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                     LRESULT& result) {
    if (!historyOf(p, box)) return false;  // the File box has none
    result = 0;
    if ((message == WM_SIZE || message == WM_SETFONT) && buttonOf(p, box)) {
        // The box resets its margins with a new font.
        result = CallWindowProcW(p.standardEditProc, box, message, wParam, lParam);
        placeButton(p, box);
        return true;
    }
    if (opensHistory(message, wParam)) {
        toggleHistory(p, box);
        // Heard by the default handling too, so that letting go of Alt does
        // not open the menu bar.
        if (message == WM_SYSKEYDOWN)
            result = CallWindowProcW(p.standardEditProc, box, message, wParam, lParam);
        return true;
    }
    const bool open = p.dropDown.box == box;
    // Typing that changes the text: filtering the open history, or folders
    // offered in the Path box.
    const bool edits =
        (message == WM_CHAR && wParam != '\r' && wParam != '\t' && wParam != VK_ESCAPE) ||
        (message == WM_KEYDOWN && wParam == VK_DELETE);
    switch (message) {
        case WM_KEYDOWN:
            if (open && onOpenListKey(p, box, wParam)) return true;
            break;
        case WM_CHAR:
            if (open && wParam == '\r') return onOpenListEnter(p);
            break;
        case WM_MOUSEWHEEL:
            if (!open) return false;
            setRows(p, scrolled(p.dropDown.rows, -GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA));
            return true;
        case WM_KILLFOCUS:
            if (open) closeDropDown(p);
            // Typing resumed later lists the folder afresh: it may have changed meanwhile.
            p.dropDown.folders.forget();
            return false;
        default:
            return false;
    }
    if (!edits || (!open && box != p.windows.pathBox)) return false;
    result = CallWindowProcW(p.standardEditProc, box, message, wParam, lParam);
    refreshAfterEdit(p, box);
    return true;
}

}  // namespace tarvo
