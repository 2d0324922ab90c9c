// The program's state: one object that lives from start-up to the end of
// the process (it is never destroyed, so nothing is torn down under a search
// that exitProgram leaves in the middle). The entry point makes it and hands
// it to the main window at creation; the window procedures find it from
// their windows and pass it to the handlers, and the run loop and the
// engine's host are handed it too.
#pragma once

#include <windows.h>

#include <string>

#include "app/clock.h"
#include "app/settings_file.h"
#include "app/status_line.h"
#include "engine/file_memory.h"
#include "engine/search_run.h"
#include "results/result_store.h"
#include "shell/drop_down_win32.h"
#include "shell/main_layout.h"
#include "shell/panes_win32.h"
#include "view/fonts_win32.h"

namespace tarvo {

struct Program;

// The engine's host in the window program: the pump in poll mode, the live
// RunState, a message box for a root that cannot be opened, and the flag the
// 250 ms timer repaints on.
class WindowHost final : public SearchHost {
public:
    explicit WindowHost(Program& program) : program_(program) {}

    void pumpMessages() override;
    RunState runState() const override;
    void reportError(const char* message) override;
    void requestRefresh() override;

private:
    Program& program_;
};

struct MainWindows {
    HWND main = nullptr;
    HWND findBox = nullptr;
    HWND pathBox = nullptr;
    HWND fileBox = nullptr;  // read-only: the previewed file's path
    // Held from creation to the end: the status line repaints through it
    // outside WM_PAINT, and the fonts measure text with it.
    HDC mainDc = nullptr;
};

// A drag of a column border or of the splitter, from the press to the
// release.
struct LayoutDrag {
    LayoutGrip grip = LayoutGrip::None;  // None: no drag
    int32_t offset = 0;  // from the border (or the list's bottom) to where it was pressed
};

struct Program {
    // The window rectangle, the request (texts, lists, the six options), the
    // sort mode as loaded, and lastFindText and lastPathText.
    Settings settings;
    FileMemory memory;
    ResultStore results{&views};  // views is declared below; the store only keeps its address
    WindowHost host{*this};
    SearchRun engine{host, settings.request, memory, results};
    Fonts fonts;  // made with the main window, before the panes
    ResultsPane resultsPane{results, engine.terms(), fonts};
    PreviewPane previewPane{engine.terms(), settings.request.highlightList, fonts};
    PaneViews views{resultsPane, previewPane};

    RunState runState = RunState::Idle;
    bool refreshPending = false;  // the timer repaints when set
    RunTimes runTimes;            // read on `clock`
    // The clock searches are timed by: it stands still while a modal box is
    // up. Its first reading, normally at the first search's start, is 0.
    RunClock clock;

    HINSTANCE instance = nullptr;
    HACCEL accelerators = nullptr;
    MainWindows windows;
    WNDPROC standardEditProc = nullptr;  // the EDIT class's own procedure
    COLORREF faceColour = 0;             // COLOR_BTNFACE, read once at start-up
    HBRUSH faceBrush = nullptr;
    MainLayout layout;  // the last layoutMainWindow's rectangles
    LayoutDrag layoutDrag;
    // The list under the Find and Path boxes: their history, and the Path
    // box's folder completion.
    DropDown dropDown;

    // Test seams. A non-empty settingsFile replaces settingsPath(); an
    // endProcess hook runs instead of the process ending (a test ends the
    // thread its program runs on).
    std::string settingsFile;
    void (*endProcess)(int exitCode) = nullptr;
};

// The settings file this program reads and writes.
std::string currentSettingsPath(const Program& program);

// The entry of the selected row, in the display order; null when no row is
// selected (no results).
const ResultEntry* selectedResult(Program& program);

// The list and the preview draw tabs with that width from now on.
void useTabWidth(Program& program);

}  // namespace tarvo
