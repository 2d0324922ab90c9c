#include "shell/main_layout.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(MainLayout, TextBoxRightEdgeIsReachThenHalfThenMargin) {
    // W = 30, so W + 410 = 440.
    struct Case {
        int32_t clientWidth, expected;
    } cases[] = {{600, 440}, {1200, 600}, {430, 425}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clientWidth);
        MainLayout l = computeMainLayout(c.clientWidth, 500, 30, 15);
        EXPECT_EQ(l.textBoxRight, c.expected);
        EXPECT_EQ(l.findBox.right, c.expected);
        EXPECT_EQ(l.pathBox.right, c.expected);
    }
}

TEST(MainLayout, RowsAndPanesForAWindowOf800By600) {
    const int32_t W = 37, H = 15, cw = 800, ch = 600;
    MainLayout l = computeMainLayout(cw, ch, W, H);
    // S = 4H + 25 + (600 - 75 - 47) / 2 = 85 + 239.
    EXPECT_EQ(l.resultsBottom, 324);
    EXPECT_EQ(l.findLabel, (LayoutRect{5, 7, 42, 22}));
    EXPECT_EQ(l.findBox, (LayoutRect{47, 7, 447, 22}));
    EXPECT_EQ(l.pathLabel, (LayoutRect{5, 27, 42, 42}));
    EXPECT_EQ(l.pathBox, (LayoutRect{47, 27, 447, 42}));
    EXPECT_EQ(l.statusLine, (LayoutRect{5, 47, 795, 62}));
    EXPECT_EQ(l.rankHeader, (LayoutRect{5, 67, 45, 85}));
    EXPECT_EQ(l.fileHeader, (LayoutRect{45, 67, 445, 85}));
    EXPECT_EQ(l.lineHeader, (LayoutRect{445, 67, 795, 85}));
    EXPECT_EQ(l.resultsPane, (LayoutRect{5, 85, 795, 324}));
    EXPECT_EQ(l.fileLabel, (LayoutRect{5, 336, 42, 351}));
    EXPECT_EQ(l.fileBox, (LayoutRect{47, 336, 795, 351}));
    EXPECT_EQ(l.previewPane, (LayoutRect{5, 356, 795, 595}));
}

TEST(MainLayout, PreviewGetsTheOddPixelAndTinyWindowsGoNegative) {
    {
        SCOPED_TRACE("odd height left for the panes");
        MainLayout l = computeMainLayout(800, 601, 37, 15);
        // 601 - 75 - 47 = 479: the results pane 239, the preview 240.
        EXPECT_EQ(l.resultsPane.height(), 239);
        EXPECT_EQ(l.previewPane.height(), 240);
    }
    {
        SCOPED_TRACE("a window smaller than its fixed rows");
        MainLayout l = computeMainLayout(20, 50, 37, 15);
        EXPECT_LT(l.resultsPane.height(), 0);
        EXPECT_LT(l.previewPane.height(), 0);
        EXPECT_EQ(l.textBoxRight, 15);  // capped at the right margin
        EXPECT_LT(l.findBox.width(), 0);
        EXPECT_EQ(l.rankHeader.right, 15);  // header boxes end at the margin too
        EXPECT_EQ(l.fileHeader.right, 15);
    }
}

TEST(MainLayout, ResizedBandsCoverStatusHeadersFileRowAndMargins) {
    MainLayout l = computeMainLayout(800, 600, 37, 15);
    auto bands = resizedBands(l, 800, 600, 15);
    EXPECT_EQ(bands[0], (LayoutRect{0, 42, 1000000, 85}));
    EXPECT_EQ(bands[1], (LayoutRect{0, 324, 1000000, 356}));
    EXPECT_EQ(bands[2], (LayoutRect{0, 595, 1000000, 1000000}));
    EXPECT_EQ(bands[3], (LayoutRect{0, 0, 5, 1000000}));
    EXPECT_EQ(bands[4], (LayoutRect{795, 0, 1000000, 1000000}));
}

}  // namespace
}  // namespace tarvo
