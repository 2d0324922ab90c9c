#include "shell/window_placement.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(WindowPlacement, RectangleBecomesCornerAndSizeDefaultStaysDefault) {
    {
        SCOPED_TRACE("default rectangle");
        CreatePlacement p = creationPlacement(Settings{}.windowRect);
        EXPECT_EQ(p.x, kDefaultPlacement);
        EXPECT_EQ(p.y, 0);
        EXPECT_EQ(p.width, kDefaultPlacement);
        EXPECT_EQ(p.height, 0);
    }
    {
        SCOPED_TRACE("saved rectangle 100 80 900 680");
        CreatePlacement p = creationPlacement(WindowRect{100, 80, 900, 680});
        EXPECT_EQ(p.x, 100);
        EXPECT_EQ(p.y, 80);
        EXPECT_EQ(p.width, 800);
        EXPECT_EQ(p.height, 600);
    }
    {
        SCOPED_TRACE("smallest accepted rectangle 0 0 100 100");
        CreatePlacement p = creationPlacement(WindowRect{0, 0, 100, 100});
        EXPECT_EQ(p.width, 100);
        EXPECT_EQ(p.height, 100);
    }
}

}  // namespace
}  // namespace tarvo
