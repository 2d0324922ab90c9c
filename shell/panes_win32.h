// The two child panes, both of class "Pane": the results list ("Results")
// and the preview ("Preview"). paneProc tells them apart by handle and hands
// each message to that pane's own procedure.
#pragma once

#include <windows.h>

#include "results/result_store.h"

namespace tarvo {

// Messages that arrive while a pane is being created, before its handle is
// stored, go to DefWindowProcA.
LRESULT CALLBACK paneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);

// Repaints the results list on its held device context (the timer's
// refresh). Until the list is painted by its own room the pane stays white.
void repaintResultsList();

// What the result store asks of the views: show the selected file, repaint
// the list, forget the list's row cache.
class PaneViews final : public ResultViews {
public:
    void showFile(const char* path, int32_t lineNumber) override;
    void repaintList() override;
    void forgetRowCache() override;
};

}  // namespace tarvo
