// The copy commands: results and paths onto the clipboard as Unicode text,
// so that paths and lines in any script paste as they are shown.
#pragma once

namespace tarvo {

// Result > Copy Result (Ctrl+Shift+C): the selected result, PATH(LINE): TEXT
// with the whole line. Beeps when no result is selected.
void copyResult();

// The selected result's path (the row's context menu). Beeps when no result
// is selected.
void copyResultPath();

// Result > Copy All Results: every result in display order, one a line.
// Beeps when the list is empty.
void copyAllResults();

}  // namespace tarvo
