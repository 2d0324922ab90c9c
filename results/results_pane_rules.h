// The rules of the results list that need no window: how many rows show,
// which rows a direct repaint may skip (the row paint cache), where a key, a
// wheel turn or a click moves the view and the selection, and the texts of a
// row. The window code issues the drawing calls over these values.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

struct ResultEntry;
class TermTable;

// One wheel notch scrolls this many rows.
inline constexpr int32_t kResultRowsPerNotch = 2;
// A page key moves the selection by the visible rows less this many, so a
// row of the old page stays in view; by one row in a list of one or two.
inline constexpr int32_t kPageOverlap = 2;
// One cache slot per view position; rows further down are always drawn.
inline constexpr int32_t kRowCacheSlots = 100;

struct RowRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const RowRect&) const = default;
};

// The rectangle of a view position: one row tall, out to the far edge.
RowRect rowRect(int32_t viewPosition, int32_t rowHeight);

// What one repaint draws: display rows [firstRow, endRow), then white from
// blankTop to the far edge.
struct ResultsPaintPlan {
    int32_t firstRow = 0;
    int32_t endRow = 0;
    int32_t blankTop = 0;
};
ResultsPaintPlan planResultsPaint(int32_t firstVisibleRow, int32_t visibleRows, int32_t count,
                                  int32_t rowHeight);

// What was last drawn at one view position.
struct RowPaintSlot {
    int32_t rankIndex = -1;  // of the entry drawn; -1: the slot is empty
    std::string path;        // the entry's whole path, however long
    int32_t lineNumber = 0;  // of the entry drawn
    RowRect rect;            // where it was drawn
    bool selected = false;   // drawn as the selected row
};

// A direct repaint through the kept device context skips the rows that
// would look as they did; a paint into any other context (WM_PAINT) draws
// every row and refreshes the slots. The rank is part of the key, so rows
// below a newly inserted result are redrawn with their new numbers.
class RowPaintCache {
public:
    void clear();
    // True when the row must be drawn; then the slot records it. Positions
    // outside 0..99 are always drawn and touch no slot.
    bool rowNeedsPaint(bool keptContext, int32_t viewPosition, const ResultEntry& entry,
                       const RowRect& rect, bool selected);
    const RowPaintSlot& slot(int32_t viewPosition) const { return slots_[viewPosition]; }

private:
    std::array<RowPaintSlot, kRowCacheSlots> slots_;
};

// The range the scroll bar allows for the first visible row: 0 to
// count - visibleRows + 1 (0 when that is negative), the same bound as
// keeping the selection visible.
int32_t clampFirstVisibleRow(int32_t row, int32_t count, int32_t visibleRows);

// Virtual-key codes the list answers.
enum ListKey : int32_t {
    KeyPageUp = 0x21,
    KeyPageDown = 0x22,
    KeyEnd = 0x23,
    KeyHome = 0x24,
    KeyUp = 0x26,
    KeyDown = 0x28,
};

// The row a key selects, clamped to 0 .. count - 1 (-1 with no results), or
// nothing for a key the list ignores (Left and Right among them).
std::optional<int32_t> rowForKey(int32_t virtualKey, int32_t selectedRow, int32_t visibleRows,
                                 int32_t count);

// The display row under a point in pane pixels, among the rows shown; -1
// when the point is on none. Left and top edges belong to a row, right and
// bottom edges do not.
int32_t rowAtPoint(int32_t x, int32_t y, int32_t firstVisibleRow, int32_t visibleRows,
                   int32_t count, int32_t rowHeight);

// "%d" of rankIndex + 1.
std::string rankText(const ResultEntry& entry);
// "%s (%d)" of path and line number.
std::string pathText(const ResultEntry& entry);

// The attribute bytes of a row text: kSelectedText on every byte for the
// selected row (no marks), else the term marks. One byte per text byte.
void rowTextAttributes(const std::string& text, bool selected, const TermTable& terms,
                       std::vector<uint8_t>& attrs);

}  // namespace tarvo
