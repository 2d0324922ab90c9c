#include "shell/program_entry_win32.h"

#include "engine/search_request.h"
#include "shell/commands_win32.h"
#include "shell/dialog_texts.h"
#include "shell/main_window_win32.h"
#include "shell/program_win32.h"
#include "shell/resources/resource.h"
#include "shell/run_loop_win32.h"
#include "shell/window_placement.h"
#include "view/pane_window_win32.h"
#include "view/text_drawing_win32.h"

namespace tarvo {

namespace {

// The placement sentinel of the settings is the window system's own.
static_assert(kDefaultPlacement == CW_USEDEFAULT);

void loadProgramSettings() {
    Program& p = program();
    loadSettings(currentSettingsPath().c_str(), GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), p.settings, p.memory);
    // The window writes Windows line ends whatever the file had, so Notepad
    // shows it one setting a line.
    p.settings.lineEnds = kPlatformLineEnds;
    p.results.restoreSortMode(p.settings.sortMode);
}

// The whole command line is the Find text: the first kMaxTextLength bytes of
// a longer one are kept, as an edit box keeps a pasted text.
void takeCommandLine(const char* commandLine) {
    if (!commandLine || !*commandLine) return;
    SearchRequest& request = program().settings.request;
    request.findText = cutToTextLimit(commandLine);
    char directory[kMaxTextLength + 1];
    const DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
    // A longer directory does not fit; the Path box then starts empty.
    request.pathText = (length > 0 && length < sizeof directory) ? directory : "";
}

bool registerClass(const char* name, UINT style, WNDPROC procedure, HICON icon, HBRUSH background) {
    WNDCLASSA windowClass = {};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = program().instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

HWND createMainWindow(int showState) {
    Program& p = program();
    const CreatePlacement at = creationPlacement(p.settings.windowRect);
    HMENU menu = LoadMenuA(p.instance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    // The main window paints its face colour over its whole update region;
    // without clipping its children that paint would cover the panes, which
    // drew themselves through their kept contexts when the layout moved them.
    HWND window =
        CreateWindowExA(0, "vrex", kProgramName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, at.x, at.y,
                        at.width, at.height, nullptr, menu, p.instance, nullptr);
    if (window) ShowWindow(window, showState);
    return window;
}

}  // namespace

void startProgram(HINSTANCE instance, const char* commandLine, int showState) {
    Program& p = program();
    p.instance = instance;
    loadProgramSettings();
    takeCommandLine(commandLine);

    p.faceColour = GetSysColor(COLOR_BTNFACE);
    p.faceBrush = CreateSolidBrush(p.faceColour);

    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    if (!registerClass("vrex", 0, mainWindowProc, icon, p.faceBrush))
        exitProgram(kExitMainClassFailed);
    // Double-clicks: a double-click on a results row opens it in the editor.
    if (!registerClass("Pane", CS_DBLCLKS, paneProc, nullptr,
                       static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))))
        exitProgram(kExitPaneClassFailed);
    if (!createMainWindow(showState)) exitProgram(kExitWindowFailed);

    p.accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    updateOptionChecks();
}

void runProgram(HINSTANCE instance, const char* commandLine, int showState) {
    startProgram(instance, commandLine, showState);
    runLoop();
}

}  // namespace tarvo
