#include "shell/main_layout.h"

#include <algorithm>

#include "view/display_scale.h"
#include "view/marked_text.h"

namespace tarvo {

namespace {

// The rows above the panes and the fixed height around them: the header
// row's bottom, and the Find, Path, status and header rows with the File row,
// its gaps and the bottom margin.
struct FixedRows {
    int32_t headerTop = 0;
    int32_t headerBottom = 0;
    int32_t height = 0;
};

FixedRows fixedRows(const LayoutMetrics& m) {
    const int32_t H = m.lineHeight;
    const int32_t gap = scaleToDpi(kLayoutGap, m.dpi);
    FixedRows rows;
    rows.headerTop = scaleToDpi(kLayoutTopMargin, m.dpi) + 3 * (H + gap);
    rows.headerBottom = rows.headerTop + H + scaleToDpi(kHeaderRowExtra, m.dpi);
    rows.height = rows.headerBottom + scaleToDpi(kFileRowGap, m.dpi) + H + gap +
                  scaleToDpi(kLayoutMargin, m.dpi);
    return rows;
}

int32_t minimumPreviewHeight(const LayoutMetrics& m) {
    return kMinPreviewLines * m.previewLineHeight;
}

}  // namespace

MainLayout computeMainLayout(int32_t cw, int32_t ch, const LayoutMetrics& m,
                             const UserLayout& user) {
    const auto px = [&m](int32_t size) { return scaleToDpi(size, m.dpi); };
    const int32_t W = m.labelWidth;
    const int32_t H = m.lineHeight;
    const int32_t margin = px(kLayoutMargin);
    const int32_t gap = px(kLayoutGap);
    MainLayout l;
    // Wide enough for a long term list, half the window on a wide screen,
    // but never past the right margin.
    const int32_t right = cw - margin;
    l.textBoxRight = std::min(std::max(W + px(kMinTextBoxReach), cw / 2), right);
    const FixedRows rows = fixedRows(m);
    const int32_t findTop = px(kLayoutTopMargin);
    const int32_t pathTop = findTop + H + gap;
    const int32_t statusTop = pathTop + H + gap;
    const int32_t headerTop = rows.headerTop;
    const int32_t headerBottom = rows.headerBottom;
    // The panes share what the fixed rows leave.
    l.panesHeight = ch - rows.height;
    l.resultsBottom =
        headerBottom + listHeightFor(user.listShare, l.panesHeight, H, minimumPreviewHeight(m));
    const int32_t R = l.textBoxRight;
    const int32_t S = l.resultsBottom;
    const int32_t fileTop = S + px(kFileRowGap);
    const int32_t left = margin;
    const int32_t boxLeft = left + W + gap;

    // The File column gives way first, then Rank, so that on a narrow window
    // every column keeps its minimum; the user's widths stay as set.
    const int32_t listWidth = right - left;
    l.minimumColumn = minimumColumnWidth(m.characterWidth, m.dpi);
    l.minimumRank = std::max(l.minimumColumn, m.rankLabelWidth + 2 * px(kCellIndent));
    const int32_t rankSet = std::max(px(user.columns.rank), l.minimumRank);
    l.fileWidth = clampColumnWidth(px(user.columns.file), l.minimumColumn,
                                   listWidth - rankSet - l.minimumColumn);
    l.rankWidth =
        clampColumnWidth(rankSet, l.minimumRank, listWidth - l.fileWidth - l.minimumColumn);
    l.columns = listColumns(l.rankWidth, l.fileWidth, m.dpi);
    const int32_t rankRight = left + l.rankWidth;
    const int32_t fileRight = rankRight + l.fileWidth;

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
    l.previewPane = {left, fileTop + H + gap, right, ch - margin};

    const int32_t grip = px(kBorderGrip);
    l.rankBorder = {rankRight - grip, headerTop, rankRight + grip, headerBottom};
    l.fileBorder = {fileRight - grip, headerTop, fileRight + grip, headerBottom};
    l.splitter = {0, S, cw, fileTop};
    return l;
}

int32_t listHeightFor(std::optional<int32_t> share, int32_t panesHeight, int32_t minList,
                      int32_t minPreview) {
    int32_t height = panesHeight / 2;
    if (share) {
        const int64_t scaled = int64_t{panesHeight} * *share;
        height =
            static_cast<int32_t>((scaled + (scaled >= 0 ? 1 : -1) * kShareScale / 2) / kShareScale);
    }
    if (panesHeight >= minList + minPreview)
        height = std::clamp(height, minList, panesHeight - minPreview);
    return height;
}

int32_t shareForListHeight(int32_t listHeight, int32_t panesHeight) {
    if (panesHeight <= 0) return kShareScale / 2;
    const int64_t share =
        (int64_t{std::max(listHeight, 0)} * kShareScale + panesHeight / 2) / panesHeight;
    return static_cast<int32_t>(std::min<int64_t>(share, kShareScale));
}

ClientSize minimumClientSize(const LayoutMetrics& m) {
    const int32_t margin = scaleToDpi(kLayoutMargin, m.dpi);
    const int32_t boxes =
        m.labelWidth + scaleToDpi(kLayoutGap, m.dpi) + kMinTextBoxCharacters * m.characterWidth;
    const int32_t minimumColumn = minimumColumnWidth(m.characterWidth, m.dpi);
    const int32_t columns =
        std::max(minimumColumn, m.rankLabelWidth + 2 * scaleToDpi(kCellIndent, m.dpi)) +
        2 * minimumColumn;
    return {2 * margin + std::max(boxes, columns),
            fixedRows(m).height + m.lineHeight + minimumPreviewHeight(m)};
}

LayoutGrip gripAt(const MainLayout& l, int32_t x, int32_t y) {
    if (l.rankBorder.contains(x, y)) return LayoutGrip::RankBorder;
    if (l.fileBorder.contains(x, y)) return LayoutGrip::FileBorder;
    if (l.splitter.contains(x, y)) return LayoutGrip::Splitter;
    return LayoutGrip::None;
}

int32_t draggedColumnWidth(const MainLayout& l, LayoutGrip border, int32_t wanted) {
    const int32_t room = l.resultsPane.width() - l.minimumColumn;
    if (border == LayoutGrip::RankBorder)
        return clampColumnWidth(wanted, l.minimumRank, room - l.fileWidth);
    return clampColumnWidth(wanted, l.minimumColumn, room - l.rankWidth);
}

std::array<LayoutRect, 5> resizedBands(const MainLayout& l, int32_t cw, int32_t ch) {
    const int32_t margin = l.findLabel.left;
    return {{
        {0, l.pathBox.bottom, kFarEdge, l.rankHeader.bottom},  // status and header rows
        {0, l.resultsBottom, kFarEdge, l.previewPane.top},     // separator and File row
        {0, ch - margin, kFarEdge, kFarEdge},                  // bottom margin
        {0, 0, margin, kFarEdge},                              // left margin
        {cw - margin, 0, kFarEdge, kFarEdge},                  // right margin
    }};
}

}  // namespace tarvo
