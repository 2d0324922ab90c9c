#include "results/results_pane_rules.h"

#include <algorithm>

#include "engine/term_table.h"
#include "results/result_store.h"
#include "view/marked_text.h"
#include "view/text_class.h"

namespace tarvo {

RowRect rowRect(int32_t viewPosition, int32_t rowHeight) {
    return {0, viewPosition * rowHeight, kFarEdge, (viewPosition + 1) * rowHeight};
}

ResultsPaintPlan planResultsPaint(int32_t firstVisibleRow, int32_t visibleRows, int32_t count,
                                  int32_t rowHeight) {
    ResultsPaintPlan plan;
    plan.firstRow = firstVisibleRow;
    plan.endRow = std::max(firstVisibleRow, std::min(firstVisibleRow + visibleRows, count));
    plan.blankTop = (plan.endRow - plan.firstRow) * rowHeight;
    return plan;
}

void RowPaintCache::clear() {
    for (RowPaintSlot& slot : slots_)
        slot.rankIndex = -1;
}

bool RowPaintCache::rowNeedsPaint(bool keptContext, int32_t viewPosition, const ResultEntry& entry,
                                  const RowRect& rect, bool selected) {
    if (viewPosition < 0 || viewPosition >= kRowCacheSlots) return true;
    RowPaintSlot& slot = slots_[viewPosition];
    if (keptContext && slot.rankIndex == entry.rankIndex && slot.path == entry.path &&
        slot.lineNumber == entry.lineNumber && slot.rect == rect && slot.selected == selected) {
        return false;
    }
    slot.rankIndex = entry.rankIndex;
    slot.path = entry.path;
    slot.lineNumber = entry.lineNumber;
    slot.rect = rect;
    slot.selected = selected;
    return true;
}

int32_t clampFirstVisibleRow(int32_t row, int32_t count, int32_t visibleRows) {
    return std::clamp(row, 0, std::max(0, count - visibleRows + 1));
}

std::optional<int32_t> rowForKey(int32_t virtualKey, int32_t selectedRow, int32_t visibleRows,
                                 int32_t count) {
    // A list of one or two rows still pages, by one row.
    const int32_t page = std::max(visibleRows - kPageOverlap, 1);
    int32_t row;
    switch (virtualKey) {
        case KeyPageUp:
            row = selectedRow - page;
            break;
        case KeyPageDown:
            row = selectedRow + page;
            break;
        case KeyEnd:
            row = count - 1;
            break;
        case KeyHome:
            row = 0;
            break;
        case KeyUp:
            row = selectedRow - 1;
            break;
        case KeyDown:
            row = selectedRow + 1;
            break;
        default:
            return std::nullopt;
    }
    // Raise first, then lower: with no results the row ends at -1.
    if (row < 0) row = 0;
    if (row >= count - 1) row = count - 1;
    return row;
}

int32_t rowAtPoint(int32_t x, int32_t y, int32_t firstVisibleRow, int32_t visibleRows,
                   int32_t count, int32_t rowHeight) {
    ResultsPaintPlan rows = planResultsPaint(firstVisibleRow, visibleRows, count, rowHeight);
    for (int32_t row = rows.firstRow; row < rows.endRow; ++row) {
        RowRect r = rowRect(row - firstVisibleRow, rowHeight);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return row;
    }
    return -1;
}

std::string rankText(const ResultEntry& entry) {
    return std::to_string(entry.rankIndex + 1);
}

std::string pathText(const ResultEntry& entry) {
    return entry.path + " (" + std::to_string(entry.lineNumber) + ")";
}

void rowTextAttributes(const std::string& text, bool selected, const TermTable& terms,
                       std::vector<uint8_t>& attrs) {
    attrs.assign(text.size(), selected ? kSelectedText : kPlainText);
    if (!selected) terms.markTermMatches(text.c_str(), attrs.data());
}

}  // namespace tarvo
