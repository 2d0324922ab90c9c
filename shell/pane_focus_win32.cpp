#include "shell/pane_focus_win32.h"

#include <windows.h>

#include <iterator>

#include "shell/edit_box_win32.h"
#include "shell/program_win32.h"

namespace tarvo {

void moveFocusRound(const Program& p, bool forward) {
    const MainWindows& w = p.windows;
    const HWND list = p.resultsPane.window(), preview = p.previewPane.window();
    const HWND stops[] = {w.findBox, w.pathBox, list, preview};
    constexpr int kStops = static_cast<int>(std::size(stops));
    const HWND focus = GetFocus();
    int at = -1;  // the focus's stop
    for (int i = 0; i < kStops; ++i) {
        if (stops[i] == focus) at = i;
    }
    // The File box stands between the list and the preview.
    if (focus == w.fileBox) at = forward ? 2 : 3;
    const int step = forward ? 1 : kStops - 1;
    const HWND next = stops[at < 0 ? (forward ? 0 : kStops - 1) : (at + step) % kStops];
    if (next == list || next == preview) {
        SetFocus(next);
    } else {
        focusAtEnd(next);
    }
}

}  // namespace tarvo
