// What the list's Line column shows of a result's line. A line is drawn from
// its start, and past the pane's right edge it is clipped; a line whose
// first term would end beyond the column therefore shows from a few
// characters before that term instead, with "…" in front, so the marked
// term is always in view. Sorting by Line sorts by this shown text.
#pragma once

#include <cstdint>
#include <string>

#include "view/marked_text.h"

namespace tarvo {

struct StoredEntry;
class TermTable;

// Characters of the line kept in front of its first term when the row is cut.
inline constexpr int32_t kRowLeadCharacters = 10;

// Where a row would be cut for its first term, and how far that term
// reaches when the line is drawn from its start.
struct LineCut {
    int32_t cutFrom = 0;    // byte of lineText the cut row shows from; 0: never cut
    int32_t termRight = 0;  // pixels from the text's start to the first term's end
};

// The cut for a line (a text the engine already cut in front starts with
// its "…", which the cut replaces). `width` measures text as the list draws
// it. No term on the line, or none far enough in to cut before, gives 0, 0.
LineCut lineCut(const std::string& lineText, const TermTable& terms, const WidthFunction& width);

// The byte the row shows lineText from in a Line column `columnWidth`
// pixels wide (0 for a column of unknown width): cutFrom when the first
// term ends beyond the column, else 0.
int32_t shownFrom(const LineCut& cut, int32_t columnWidth);

// The row's Line text: lineText, or "…" and lineText from entry.shownFrom.
std::string shownLineText(const StoredEntry& entry);

// Negative, zero or positive as a's shown Line text sorts before, with or
// after b's, letter case folded as in the rank order; no text is copied.
int compareShownLineText(const StoredEntry& a, const StoredEntry& b);

}  // namespace tarvo
