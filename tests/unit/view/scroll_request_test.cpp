#include "view/scroll_request.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// A wheel turns whole notches only, nothing carried over, away from the
// user moving up; the scroll bar's codes are read from the low word only.
TEST(ScrollRequest, WheelAndScrollBarCodes) {
    const ScrollBarState bar{1, 101, 20, 50, 77};
    const struct {
        int16_t distance;
        int32_t perNotch, expected;
    } wheels[] = {{120, 4, 46}, {-240, 4, 58}, {60, 4, 50},     {-119, 4, 50},
                  {179, 4, 46}, {120, 2, 48},  {-32768, 1, 323}};
    for (const auto& w : wheels) {
        const uint32_t request = static_cast<uint32_t>(static_cast<uint16_t>(w.distance)) << 16;
        EXPECT_EQ(requestedScrollPosition(bar, request, true, w.perNotch), w.expected)
            << w.distance << " x" << w.perNotch;
    }
    const int32_t expected[] = {49, 51, 30, 70, 50, 77, 1, 101, 50, 50};
    for (uint32_t code = 0; code < 10; ++code)
        EXPECT_EQ(requestedScrollPosition(bar, code, false, 4), expected[code]) << code;
    EXPECT_EQ(requestedScrollPosition(bar, 0x00050001u, false, 4), 51);
}

// The scroll bar's own clamp: a page of n rows leaves n - 1 positions at the
// end; a partly visible row counts as shown.
TEST(ScrollRequest, ClampAndRowsShown) {
    const struct {
        ScrollBarState bar;
        int32_t position, expected;
    } clamps[] = {{{1, 101, 20, 0, 0}, 500, 82},
                  {{1, 101, 20, 0, 0}, -3, 1},
                  {{1, 101, 20, 0, 0}, 40, 40},
                  {{0, 5, 10, 0, 0}, 3, 0},
                  {{1, -1, 20, 0, 0}, 7, 1}};
    for (const auto& c : clamps)
        EXPECT_EQ(clampScrollPosition(c.bar, c.position), c.expected) << c.position;
    const int32_t rows[][3] = {{200, 20, 10}, {201, 20, 11}, {19, 20, 1}, {0, 20, 0}, {200, 0, 0}};
    for (const auto& r : rows)
        EXPECT_EQ(rowsShown(r[0], r[1]), r[2]) << r[0] << "/" << r[1];
}

}  // namespace
}  // namespace tarvo
