#include "shell/drop_down_rows.h"

#include <algorithm>

namespace tarvo {

namespace {

int32_t lastTop(const DropDownRows& rows) {
    return std::max(rows.count - rows.shown, 0);
}

DropDownRows withSelectionInView(DropDownRows rows) {
    if (rows.selected >= 0) {
        rows.first = std::clamp(rows.first, rows.selected - rows.shown + 1, rows.selected);
    }
    rows.first = std::clamp(rows.first, 0, lastTop(rows));
    return rows;
}

}  // namespace

DropDownRows shownIn(DropDownRows rows, int32_t shown) {
    rows.shown = std::max(shown, 1);
    return withSelectionInView(rows);
}

DropDownRows movedSelection(DropDownRows rows, int32_t step) {
    if (rows.count == 0) return rows;
    if (rows.selected < 0) {
        rows.selected = step > 0 ? 0 : rows.count - 1;
    } else {
        rows.selected = std::clamp(rows.selected + step, 0, rows.count - 1);
    }
    return withSelectionInView(rows);
}

DropDownRows withoutSelected(DropDownRows rows) {
    if (rows.selected < 0) return rows;
    --rows.count;
    rows.selected = std::min(rows.selected, rows.count - 1);
    return withSelectionInView(rows);
}

DropDownRows scrolled(DropDownRows rows, int32_t step) {
    rows.first = std::clamp(rows.first + step, 0, lastTop(rows));
    return rows;
}

int32_t rowAt(const DropDownRows& rows, int32_t y, int32_t rowHeight) {
    if (y < 0 || rowHeight <= 0) return -1;
    const int32_t row = rows.first + y / rowHeight;
    return row < std::min(rows.count, rows.first + rows.shown) ? row : -1;
}

}  // namespace tarvo
