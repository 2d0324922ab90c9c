#include "shell/run_loop_win32.h"

#include <windows.h>

#include <cstdlib>

#include "shell/dialog_texts.h"
#include "shell/dialogs_win32.h"
#include "shell/program_win32.h"

namespace tarvo {

void runLoop(Program& p) {
    p.runState = RunState::Idle;
    for (;;) {
        if (p.runState == RunState::StartRequested) {
            runRequestedSearch(p);
        } else {
            pumpMessages(p, true);
        }
    }
}

void runRequestedSearch(Program& p) {
    p.runState = RunState::Running;
    SearchHistories& history = p.settings.history;
    history.find.add(p.settings.request.findText);
    history.path.add(p.settings.request.pathText);
    SetWindowTextA(p.windows.main, windowTitle(p.settings.request.findText).c_str());
    p.runTimes.start = p.clock.now();
    p.engine.runSearch();
    p.runTimes.end = p.clock.now();
    p.refreshPending = true;
    // A Start or Enter during the run left StartRequested: the loop begins
    // the next run at once. A Stop already left Idle.
    if (p.runState == RunState::Running) p.runState = RunState::Idle;
}

void pumpMessages(Program& p, bool wait) {
    MSG message;
    if (!wait) {
        // A message PeekMessageW reports is certain to be there, so the wait
        // mode takes it without blocking.
        while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
            pumpMessages(p, true);
        return;
    }
    // Taken as Unicode: a character typed in any script reaches the boxes
    // whole (an ANSI loop would turn what the code page lacks into '?').
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) exitProgram(p, 0);
    if (got == -1) return;  // only for an invalid filter window; there is none
    // For every message, whichever window it is for: F5 to F8, Ctrl+N and
    // Ctrl+O work while an edit box has the focus.
    if (TranslateAcceleratorW(p.windows.main, p.accelerators, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void exitProgram(Program& p, int exitCode) {
    p.memory.creditResults(p.results);
    p.settings.sortMode = p.results.sortMode();
    saveSettings(currentSettingsPath(p).c_str(), false, p.settings, p.memory);
    if (p.endProcess) p.endProcess(exitCode);
    std::exit(exitCode);
}

void WindowHost::pumpMessages() {
    tarvo::pumpMessages(program_, false);
}

RunState WindowHost::runState() const {
    return program_.runState;
}

void WindowHost::reportError(const char* message) {
    showMessage(program_, message);
}

void WindowHost::requestRefresh() {
    program_.refreshPending = true;
}

}  // namespace tarvo
