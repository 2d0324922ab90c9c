// The saved window rectangle as the x, y, width and height the main window
// is created with.
#pragma once

#include <cstdint>

#include "app/settings_file.h"

namespace tarvo {

struct CreatePlacement {
    int32_t x = kDefaultPlacement;
    int32_t y = 0;
    int32_t width = kDefaultPlacement;
    int32_t height = 0;
};

// The default rectangle (the sentinel in left or right) gives the window
// system's own placement: kDefaultPlacement, which is CW_USEDEFAULT, for x
// and width, 0 for y and height. Any other rectangle keeps its corner and
// its size.
CreatePlacement creationPlacement(const WindowRect& rect);

}  // namespace tarvo
