// The two child panes, both of class "Pane": the results list ("Results")
// and the preview ("Preview"). paneProc tells them apart by handle and hands
// each message to that pane's own procedure.
#pragma once

#include <windows.h>

#include <cstdint>

#include "preview/preview_document.h"
#include "preview/preview_pane_rules.h"
#include "results/result_store.h"
#include "results/results_pane_rules.h"

namespace tarvo {

// What the panes keep between paints, for the program's life.
struct PaneState {
    RowPaintCache rowCache;    // what each view position of the list last showed
    PreviewDocument document;  // the previewed file
    PreviewPosition preview;   // its target line, top line and visible lines
    // Test seam: told of every list row actually drawn (not skipped by the
    // row cache).
    void (*rowDrawn)(int32_t row) = nullptr;
};

// Messages that arrive while a pane is being created, before its handle is
// stored, go to DefWindowProcA.
LRESULT CALLBACK paneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);

// Repaints the results list on its held device context (the timer's
// refresh).
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
