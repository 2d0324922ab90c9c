#include "shell/main_layout.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

namespace tarvo {
namespace {

// Labels W wide, rows H high: the text boxes reach W + 410, or half the
// width when that is more, never past the right margin.
TEST(MainLayout, RectanglesOfTheMainWindow) {
    const std::pair<int32_t, int32_t> widths[] = {{600, 440}, {1200, 600}, {430, 425}};
    for (const auto& [width, right] : widths) {
        const MainLayout l = computeMainLayout(width, 500, 30, 15);
        EXPECT_EQ(l.findBox.right, right) << width;
        EXPECT_EQ(l.pathBox.right, right) << width;
    }
    const MainLayout l = computeMainLayout(800, 600, 37, 15);
    const std::pair<LayoutRect, LayoutRect> rects[] = {
        {l.findLabel, {5, 7, 42, 22}},      {l.findBox, {47, 7, 447, 22}},
        {l.pathLabel, {5, 27, 42, 42}},     {l.pathBox, {47, 27, 447, 42}},
        {l.statusLine, {5, 47, 795, 62}},   {l.rankHeader, {5, 67, 45, 85}},
        {l.fileHeader, {45, 67, 445, 85}},  {l.lineHeader, {445, 67, 795, 85}},
        {l.resultsPane, {5, 85, 795, 324}}, {l.fileLabel, {5, 336, 42, 351}},
        {l.fileBox, {47, 336, 795, 351}},   {l.previewPane, {5, 356, 795, 595}}};
    for (size_t i = 0; i < std::size(rects); ++i)
        EXPECT_EQ(rects[i].first, rects[i].second) << i;
    // Repainted after a resize: status and header rows, the File row, margins.
    const auto bands = resizedBands(l, 800, 600, 15);
    const LayoutRect expectedBands[] = {{0, 42, 1000000, 85},
                                        {0, 324, 1000000, 356},
                                        {0, 595, 1000000, 1000000},
                                        {0, 0, 5, 1000000},
                                        {795, 0, 1000000, 1000000}};
    for (size_t i = 0; i < bands.size(); ++i)
        EXPECT_EQ(bands[i], expectedBands[i]) << i;

    const MainLayout odd = computeMainLayout(800, 601, 37, 15);
    EXPECT_EQ(odd.resultsPane.height(), 239);
    EXPECT_EQ(odd.previewPane.height(), 240) << "the preview gets the odd pixel";
    const MainLayout tiny = computeMainLayout(20, 50, 37, 15);
    EXPECT_LT(tiny.resultsPane.height(), 0);
    EXPECT_LT(tiny.previewPane.height(), 0);
    EXPECT_EQ(tiny.textBoxRight, 15);
    EXPECT_EQ(tiny.rankHeader.right, 15) << "header boxes end at the margin too";
    EXPECT_EQ(tiny.fileHeader.right, 15);
}

}  // namespace
}  // namespace tarvo
