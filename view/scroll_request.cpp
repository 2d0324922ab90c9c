#include "view/scroll_request.h"

#include <algorithm>

namespace tarvo {

int32_t requestedScrollPosition(const ScrollBarState& bar, uint32_t request, bool fromWheel,
                                int32_t rowsPerNotch) {
    if (fromWheel) {
        int32_t distance = static_cast<int16_t>((request >> 16) & 0xFFFF);
        return bar.pos + rowsPerNotch * (distance / -kWheelNotch);
    }
    switch (static_cast<ScrollRequest>(request & 0xFFFF)) {
        case ScrollRequest::LineUp:
            return bar.pos - 1;
        case ScrollRequest::LineDown:
            return bar.pos + 1;
        case ScrollRequest::PageUp:
            return bar.pos - bar.page;
        case ScrollRequest::PageDown:
            return bar.pos + bar.page;
        case ScrollRequest::ThumbTrack:
            return bar.trackPos;
        case ScrollRequest::Top:
            return bar.min;
        case ScrollRequest::Bottom:
            return bar.max;
        default:
            return bar.pos;  // ThumbPosition and the end of a scroll
    }
}

int32_t clampScrollPosition(const ScrollBarState& bar, int32_t position) {
    // As Windows does it: a page of n rows leaves n - 1 positions at the end.
    int32_t last = std::max(bar.min, bar.max - std::max(bar.page - 1, 0));
    return std::clamp(position, bar.min, last);
}

int32_t rowsShown(int32_t height, int32_t rowHeight) {
    if (rowHeight <= 0 || height <= 0) return 0;
    return height / rowHeight + (height % rowHeight != 0 ? 1 : 0);
}

}  // namespace tarvo
