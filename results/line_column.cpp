#include "results/line_column.h"

#include <string_view>
#include <vector>

#include "engine/line_excerpt.h"
#include "engine/term_table.h"
#include "engine/wide_text.h"
#include "results/result_store.h"

namespace tarvo {

LineCut lineCut(const std::string& lineText, const TermTable& terms, const WidthFunction& width) {
    std::vector<uint8_t> marks(lineText.size());
    terms.markTermMatches(lineText.c_str(), marks.data());
    size_t first = 0;
    while (first < marks.size() && !(marks[first] & kMarkBit))
        ++first;
    if (first == marks.size()) return {};
    size_t end = first;
    while (end < marks.size() && (marks[end] & kMarkBit))
        ++end;

    // The last kRowLeadCharacters character starts before the term. A cut
    // never starts at byte 0, so a text the engine cut already (its "…"
    // first) gets one "…", not two.
    std::vector<int32_t> starts;
    const char* const text = lineText.c_str();
    for (size_t at = 0; at < first; at += decodeCharacter(text + at, text + first).length)
        starts.push_back(static_cast<int32_t>(at));
    if (starts.size() <= static_cast<size_t>(kRowLeadCharacters)) return {};
    return {starts[starts.size() - kRowLeadCharacters], width(text, static_cast<int>(end))};
}

int32_t shownFrom(const LineCut& cut, int32_t columnWidth) {
    return columnWidth > 0 && cut.termRight > columnWidth ? cut.cutFrom : 0;
}

std::string shownLineText(const StoredEntry& entry) {
    if (entry.shownFrom == 0) return entry.lineText;
    return std::string(kExcerptMark).append(entry.lineText, entry.shownFrom);
}

int compareShownLineText(const StoredEntry& a, const StoredEntry& b) {
    const auto tail = [](const StoredEntry& e) {
        return std::string_view(e.lineText).substr(e.shownFrom);
    };
    const bool aCut = a.shownFrom > 0;
    if (aCut == (b.shownFrom > 0)) return compareFolded(tail(a), tail(b));
    // One row is cut: its "…" and its tail against the other's whole text.
    const std::string_view whole = aCut ? b.lineText : a.lineText;
    int c = compareFolded(kExcerptMark, whole.substr(0, kExcerptMark.size()));
    if (c == 0) c = compareFolded(tail(aCut ? a : b), whole.substr(kExcerptMark.size()));
    return aCut ? c : -c;
}

}  // namespace tarvo
