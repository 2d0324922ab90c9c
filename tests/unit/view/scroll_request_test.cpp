#include "view/scroll_request.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

uint32_t wheel(int16_t distance) {
    return static_cast<uint32_t>(static_cast<uint16_t>(distance)) << 16;
}

TEST(RequestedScrollPosition, WheelTurnsWholeNotchesOnly) {
    ScrollBarState bar{1, 101, 20, 50, 0};
    struct Case {
        int16_t distance;
        int32_t perNotch;
        int32_t expected;
    };
    const Case cases[] = {
        {120, 4, 46},  {-120, 4, 54}, {240, 4, 42}, {-240, 4, 58}, {60, 4, 50},
        {-119, 4, 50}, {179, 4, 46},  {120, 2, 48}, {-240, 2, 54}, {-32768, 1, 323},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "distance " << c.distance << " x" << c.perNotch);
        EXPECT_EQ(requestedScrollPosition(bar, wheel(c.distance), true, c.perNotch), c.expected);
    }
}

TEST(RequestedScrollPosition, ScrollBarCodes) {
    ScrollBarState bar{1, 101, 20, 50, 77};
    const int32_t expected[] = {49, 51, 30, 70, 50, 77, 1, 101, 50, 50};
    for (uint32_t code = 0; code < 10; ++code) {
        SCOPED_TRACE(testing::Message() << "code " << code);
        EXPECT_EQ(requestedScrollPosition(bar, code, false, 4), expected[code]);
    }
    SCOPED_TRACE("the high word of a scroll bar request is not a code");
    EXPECT_EQ(requestedScrollPosition(bar, 0x00050001u, false, 4), 51);
}

TEST(ClampScrollPosition, KeepsAPageOfRowsInRange) {
    ScrollBarState bar{1, 101, 20, 0, 0};
    EXPECT_EQ(clampScrollPosition(bar, 500), 82);  // max - page + 1
    EXPECT_EQ(clampScrollPosition(bar, -3), 1);
    EXPECT_EQ(clampScrollPosition(bar, 40), 40);
    SCOPED_TRACE("a page larger than the range");
    EXPECT_EQ(clampScrollPosition({0, 5, 10, 0, 0}, 3), 0);
    SCOPED_TRACE("no file: range 1 to -1");
    EXPECT_EQ(clampScrollPosition({1, -1, 20, 0, 0}, 7), 1);
}

TEST(RowsShown, CountsAPartlyVisibleRow) {
    EXPECT_EQ(rowsShown(200, 20), 10);
    EXPECT_EQ(rowsShown(201, 20), 11);
    EXPECT_EQ(rowsShown(19, 20), 1);
    EXPECT_EQ(rowsShown(0, 20), 0);
    EXPECT_EQ(rowsShown(200, 0), 0);
}

}  // namespace
}  // namespace tarvo
