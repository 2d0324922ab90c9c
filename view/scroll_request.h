// What a scroll bar request or a wheel turn does to a pane's scroll
// position. Both panes share the table; they differ only in how many rows
// one wheel notch turns. The window code reads the scroll bar into a
// ScrollBarState, asks for the new position, and lets the scroll bar clamp
// it (clampScrollPosition states that clamp).
#pragma once

#include <cstdint>

namespace tarvo {

// One notch of a mouse wheel, in the wheel's distance units.
inline constexpr int32_t kWheelNotch = 120;

// The scroll bar request codes of a vertical scroll message's low word.
enum class ScrollRequest : int32_t {
    LineUp = 0,
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Top = 6,
    Bottom = 7,
};

struct ScrollBarState {
    int32_t min = 0;
    int32_t max = 0;
    int32_t page = 0;
    int32_t pos = 0;
    int32_t trackPos = 0;  // where the thumb is being dragged
};

// The position a request asks for, before clamping. `request` is the
// message's wParam. From the wheel: its high word is a signed distance and
// the position moves rowsPerNotch x (distance / -120), truncated toward
// zero: a turn away from the user moves up, less than a notch moves nothing
// and nothing carries over. From the scroll bar: the low word is the code;
// ThumbPosition and unknown codes leave the position, ThumbTrack follows the
// thumb, Top and Bottom go to min and max.
int32_t requestedScrollPosition(const ScrollBarState& bar, uint32_t request, bool fromWheel,
                                int32_t rowsPerNotch);

// The scroll bar's own clamp: min to max - page + 1 (min when the page
// covers the whole range; max itself for a page of 0).
int32_t clampScrollPosition(const ScrollBarState& bar, int32_t position);

// The number of rows a pane of `height` pixels shows, a partly visible last
// row included; 0 for a row height that is not positive.
int32_t rowsShown(int32_t height, int32_t rowHeight);

}  // namespace tarvo
