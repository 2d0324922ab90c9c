#include "shell/panes_win32.h"

#include "preview/preview_pane_win32.h"
#include "results/results_pane_win32.h"
#include "shell/program_win32.h"

namespace tarvo {

LRESULT CALLBACK paneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    const MainWindows& w = program().windows;
    if (pane == w.resultsPane) return resultsPaneProc(pane, message, wParam, lParam);
    if (pane == w.previewPane) return previewPaneProc(pane, message, wParam, lParam);
    return DefWindowProcA(pane, message, wParam, lParam);
}

void repaintResultsList() {
    paintPane(nullptr);
}

void PaneViews::showFile(const char* path, int32_t lineNumber) {
    tarvo::showFile(path, lineNumber);
}

void PaneViews::repaintList() {
    paintPane(nullptr);
}

void PaneViews::forgetRowCache() {
    program().panes.rowCache.clear();
}

}  // namespace tarvo
