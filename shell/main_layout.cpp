#include "shell/main_layout.h"

#include <algorithm>

#include "view/marked_text.h"

namespace tarvo {

MainLayout computeMainLayout(int32_t cw, int32_t ch, int32_t W, int32_t H) {
    MainLayout l;
    // Wide enough for a long term list, half the window on a wide screen,
    // but never past the right margin.
    const int32_t right = cw - kLayoutMargin;
    l.textBoxRight = std::min(std::max(W + kMinTextBoxReach, cw / 2), right);
    const int32_t findTop = kLayoutTopMargin;
    const int32_t pathTop = findTop + H + kLayoutGap;
    const int32_t statusTop = pathTop + H + kLayoutGap;
    const int32_t headerTop = statusTop + H + kLayoutGap;
    const int32_t headerBottom = headerTop + H + kHeaderRowExtra;
    // The panes share what the fixed rows leave: the rows above the results,
    // the File row with the gaps around it, and the bottom margin.
    const int32_t fixed = headerBottom + kFileRowGap + H + kLayoutGap + kLayoutMargin;
    l.resultsBottom = headerBottom + (ch - fixed) / 2;
    const int32_t R = l.textBoxRight;
    const int32_t S = l.resultsBottom;
    const int32_t fileTop = S + kFileRowGap;
    const int32_t left = kLayoutMargin;
    const int32_t boxLeft = left + W + kLayoutGap;
    const int32_t rankRight = left + kRankHeaderWidth;
    const int32_t fileRight = rankRight + kFileHeaderWidth;

    l.findLabel = {left, findTop, left + W, findTop + H};
    l.findBox = {boxLeft, findTop, R, findTop + H};
    l.pathLabel = {left, pathTop, left + W, pathTop + H};
    l.pathBox = {boxLeft, pathTop, R, pathTop + H};
    l.statusLine = {left, statusTop, right, statusTop + H};
    // No header box passes the right margin; one cut narrower than its
    // label is not drawn at all.
    l.rankHeader = {left, headerTop, std::min(rankRight, right), headerBottom};
    l.fileHeader = {rankRight, headerTop, std::min(fileRight, right), headerBottom};
    l.lineHeader = {fileRight, headerTop, right, headerBottom};
    l.resultsPane = {left, headerBottom, right, S};
    l.fileLabel = {left, fileTop, left + W, fileTop + H};
    l.fileBox = {boxLeft, fileTop, right, fileTop + H};
    l.previewPane = {left, fileTop + H + kLayoutGap, right, ch - kLayoutMargin};
    return l;
}

std::array<LayoutRect, 5> resizedBands(const MainLayout& l, int32_t cw, int32_t ch, int32_t H) {
    const int32_t S = l.resultsBottom;
    return {{
        {0, l.pathBox.bottom, kFarEdge, l.rankHeader.bottom},  // status and header rows
        {0, S, kFarEdge, S + kFileRowGap + H + kLayoutGap},    // separator and File row
        {0, ch - kLayoutMargin, kFarEdge, kFarEdge},           // bottom margin
        {0, 0, kLayoutMargin, kFarEdge},                       // left margin
        {cw - kLayoutMargin, 0, kFarEdge, kFarEdge},           // right margin
    }};
}

}  // namespace tarvo
