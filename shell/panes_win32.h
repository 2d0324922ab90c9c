// What the result store asks of the two panes: show the selected file in
// the preview, repaint the results list, forget the list's row cache. The
// store knows only its listener; this is the one place that joins it to
// the panes, which know nothing of each other.
#pragma once

#include <cstdint>

#include "preview/preview_pane_win32.h"
#include "results/result_store.h"
#include "results/results_pane_win32.h"

namespace tarvo {

class PaneViews final : public ResultViews {
public:
    PaneViews(ResultsPane& results, PreviewPane& preview) : results_(results), preview_(preview) {}

    void showFile(const char* path, int32_t lineNumber) override {
        preview_.showFile(path, lineNumber);
    }
    void repaintList() override { results_.paint(nullptr); }
    void forgetRowCache() override { results_.forgetRowCache(); }

private:
    ResultsPane& results_;
    PreviewPane& preview_;
};

}  // namespace tarvo
