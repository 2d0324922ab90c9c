// Ctrl+Tab and Ctrl+Shift+Tab: the keyboard focus round the Find box, the
// Path box, the results list and the preview, forwards and backwards. (Tab
// alone moves between the two boxes only.) A box takes the focus with the
// caret after its text, as Tab leaves it; a pane shows that it holds the
// focus with a dotted frame.
#pragma once

namespace tarvo {

struct Program;

// From the File box (no stop of the round) forwards is the preview and
// backwards the list, its neighbours on the screen; from any other window,
// the Find box or the preview.
void moveFocusRound(const Program& program, bool forward);

}  // namespace tarvo
