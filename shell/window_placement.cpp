#include "shell/window_placement.h"

namespace tarvo {

CreatePlacement creationPlacement(const WindowRect& rect) {
    if (rect.left == kDefaultPlacement || rect.right == kDefaultPlacement) return {};
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace tarvo
