#include "shell/panes_win32.h"

#include "shell/program_win32.h"

namespace tarvo {

namespace {

// Stands in for a pane's own procedure until the pane paints itself: white,
// and a wheel turn ends here. (DefWindowProcA would pass the wheel to the
// main window, which routes it back to the pane under the pointer.)
LRESULT blankPane(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEWHEEL) return 0;
    return DefWindowProcA(pane, message, wParam, lParam);
}

LRESULT resultsPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    return blankPane(pane, message, wParam, lParam);
}

LRESULT previewPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    return blankPane(pane, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK paneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    const MainWindows& w = program().windows;
    if (pane == w.resultsPane) return resultsPaneProc(pane, message, wParam, lParam);
    if (pane == w.previewPane) return previewPaneProc(pane, message, wParam, lParam);
    return DefWindowProcA(pane, message, wParam, lParam);
}

void repaintResultsList() {}

void PaneViews::showFile(const char* path, int32_t) {
    SetWindowTextA(program().windows.fileBox, path);
}

void PaneViews::repaintList() {
    repaintResultsList();
}

void PaneViews::forgetRowCache() {}

}  // namespace tarvo
