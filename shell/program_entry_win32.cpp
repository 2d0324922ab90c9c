#include "shell/program_entry_win32.h"

#include "engine/search_request.h"
#include "engine/system_path_win32.h"
#include "shell/commands_win32.h"
#include "shell/main_window_win32.h"
#include "shell/program_win32.h"
#include "shell/resources/resource.h"
#include "shell/run_loop_win32.h"
#include "view/pane_window_win32.h"

namespace tarvo {

namespace {

void loadProgramSettings(Program& p) {
    loadSettings(currentSettingsPath(p).c_str(), GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), p.settings, p.memory);
    // The window writes Windows line ends whatever the file had, so Notepad
    // shows it one setting a line.
    p.settings.lineEnds = kPlatformLineEnds;
    p.results.restoreSortMode(p.settings.sortMode);
    useTabWidth(p);
}

// A longer directory does not fit a box; the Path box then starts empty.
std::string currentDirectory() {
    const std::string directory = pathFromSystem([](wchar_t* buffer, size_t size) {
        return GetCurrentDirectoryW(static_cast<DWORD>(size), buffer);
    });
    return directory.size() <= static_cast<size_t>(kMaxTextLength) ? directory : "";
}

// The whole command line is the Find text: the first kMaxTextLength bytes of
// a longer one are kept, as an edit box keeps a pasted text. Without one, a
// first start (no Path text saved) can search at once: the current folder,
// as with a command line.
void takeCommandLine(SearchRequest& request, const char* commandLine) {
    if (commandLine && *commandLine) {
        request.findText = cutToTextLimit(commandLine);
        request.pathText = currentDirectory();
    } else if (request.pathText.empty()) {
        request.pathText = currentDirectory();
    }
}

bool registerClass(HINSTANCE instance, const char* name, UINT style, WNDPROC procedure, HICON icon,
                   HBRUSH background) {
    WNDCLASSA windowClass = {};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0;
}

}  // namespace

void startProgram(Program& p, HINSTANCE instance, const char* commandLine, int showState) {
    p.instance = instance;
    loadProgramSettings(p);
    takeCommandLine(p.settings.request, commandLine);

    p.faceColour = GetSysColor(COLOR_BTNFACE);
    p.faceBrush = CreateSolidBrush(p.faceColour);

    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    // Double-clicks: a double-click on a column border fits the column.
    if (!registerClass(instance, kMainWindowClass, CS_DBLCLKS, mainWindowProc, icon, p.faceBrush))
        exitProgram(p, kExitMainClassFailed);
    // Double-clicks: a double-click on a results row opens it in the editor.
    if (!registerClass(instance, kPaneClass, CS_DBLCLKS, paneProc, nullptr,
                       static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))))
        exitProgram(p, kExitPaneClassFailed);
    if (!createMainWindow(p, showState)) exitProgram(p, kExitWindowFailed);
    createDropDown(p);

    p.accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    updateOptionChecks(p);
}

void runProgram(HINSTANCE instance, const char* commandLine, int showState) {
    // Made once and never freed: it outlives every window and the search
    // that may still be on the stack when the process ends.
    Program& program = *new Program;
    startProgram(program, instance, commandLine, showState);
    runLoop(program);
}

}  // namespace tarvo
