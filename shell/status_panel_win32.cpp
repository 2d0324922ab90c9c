#include "shell/status_panel_win32.h"

#include "shell/program_win32.h"
#include "view/marked_text.h"
#include "view/text_drawing_win32.h"

namespace tarvo {

std::string statusPanelText(const Program& p) {
    const bool running = p.runState == RunState::Running;
    std::string text =
        statusLineText(p.searchRun.stats(), p.runTimes, running ? p.clock.now() : 0.0, running);
    // Said once, after the counts, when the run has ended: no box to dismiss.
    const SearchStats& stats = p.searchRun.stats();
    for (const std::string& said :
         {listedLinesText(stats.matches, p.results), skippedByFiltersText(stats.skippedByFilters),
          pathsTooLongText(stats.pathsTooLong)}) {
        if (!running && !said.empty()) text += "     " + said;
    }
    return text;
}

void paintStatusLine(const Program& p, HDC dc) {
    if (!dc) dc = p.windows.mainDc;
    const std::string text = statusPanelText(p);
    const LayoutRect& status = p.layout.statusLine;
    selectDrawingTools(dc, p.fonts.handle(FontIndex::Interface));
    fillBox(dc, p.faceColour, 0, status.top, kFarEdge, status.bottom);
    drawText(dc, status.left, status.top, text);
}

}  // namespace tarvo
