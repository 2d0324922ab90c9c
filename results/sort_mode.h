// The order of the list, by the column header last clicked. The settings file
// keeps it as a number; a number outside these three sorts by rank and is
// kept as read. Its own header, as the settings file and tarvo-find's
// options name an order without holding any results.
#pragma once

#include <cstdint>

namespace tarvo {

enum class SortMode : int32_t { ByRank = 1, ByFileName = 2, ByLineText = 3 };

}  // namespace tarvo
