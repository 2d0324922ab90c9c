#include "shell/main_layout.h"

#include <algorithm>

#include "view/marked_text.h"

namespace tarvo {

MainLayout computeMainLayout(int32_t cw, int32_t ch, int32_t W, int32_t H) {
    MainLayout l;
    // Wide enough for a long term list, half the window on a wide screen,
    // but never past the right margin.
    l.textBoxRight = std::min(std::max(W + kMinTextBoxReach, cw / 2), cw - 5);
    // The panes share what the fixed rows leave: 5H + 47 pixels are the two
    // text rows, the status row, the header row, the File row and the gaps.
    l.resultsBottom = 4 * H + 25 + (ch - 5 * H - 47) / 2;
    const int32_t R = l.textBoxRight;
    const int32_t S = l.resultsBottom;
    const int32_t headerTop = 3 * H + 22;
    const int32_t headerBottom = 4 * H + 25;
    const int32_t rankRight = 5 + kRankHeaderWidth;
    const int32_t fileRight = rankRight + kFileHeaderWidth;

    l.findLabel = {5, 7, W + 5, H + 7};
    l.findBox = {W + 10, 7, R, H + 7};
    l.pathLabel = {5, H + 12, W + 5, 2 * H + 12};
    l.pathBox = {W + 10, H + 12, R, 2 * H + 12};
    l.statusLine = {5, 2 * H + 17, cw - 5, 3 * H + 17};
    // No header box passes the right margin; one cut narrower than its
    // label is not drawn at all.
    l.rankHeader = {5, headerTop, std::min(rankRight, cw - 5), headerBottom};
    l.fileHeader = {rankRight, headerTop, std::min(fileRight, cw - 5), headerBottom};
    l.lineHeader = {fileRight, headerTop, cw - 5, headerBottom};
    l.resultsPane = {5, headerBottom, cw - 5, S};
    l.fileLabel = {5, S + 12, W + 5, S + H + 12};
    l.fileBox = {W + 10, S + 12, cw - 5, S + H + 12};
    l.previewPane = {5, S + H + 17, cw - 5, ch - 5};
    return l;
}

std::array<LayoutRect, 5> resizedBands(const MainLayout& l, int32_t cw, int32_t ch, int32_t H) {
    const int32_t S = l.resultsBottom;
    return {{
        {0, 2 * H + 12, kFarEdge, 4 * H + 25},  // status and header rows
        {0, S, kFarEdge, S + H + 17},           // separator and File row
        {0, ch - 5, kFarEdge, kFarEdge},        // bottom margin
        {0, 0, 5, kFarEdge},                    // left margin
        {cw - 5, 0, kFarEdge, kFarEdge},        // right margin
    }};
}

}  // namespace tarvo
