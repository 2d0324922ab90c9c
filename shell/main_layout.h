// Where everything sits in the main window: a plain function of the client
// size and two font metrics, so the whole layout is tested without a window.
//
//   Find: [Find box      ]          row 1, top 7
//   Path: [Path box      ]          row 2
//   status line                     row 3
//   |Rank|File name (line number)|Line|   header row, H + 3 high
//   [results pane                  ]    half of what is left (rounded down)
//   ------------------------------      separator at S + 5
//   File: [File box                ]
//   [preview pane                  ]    the other half, with the odd pixel
//
// The margins and gaps are named below.
// There is no splitter and no minimum size: rectangles may come out empty
// or inverted on a tiny window, and are used as they are.
#pragma once

#include <array>
#include <cstdint>

namespace tarvo {

struct LayoutRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const LayoutRect&) const = default;
};

// The window's edges keep this margin left, right and bottom; rows, and a
// label and its box, are kLayoutGap apart.
inline constexpr int32_t kLayoutMargin = 5;
inline constexpr int32_t kLayoutGap = 5;
inline constexpr int32_t kLayoutTopMargin = 7;  // above the Find row
// The header row is this much higher than a line of text.
inline constexpr int32_t kHeaderRowExtra = 3;
// From the results pane's bottom to the File row: the groove lies between.
inline constexpr int32_t kFileRowGap = 12;
inline constexpr int32_t kGrooveOffset = 5;  // the groove's line below the results pane

// The Find and Path boxes get at least this much room past their label
// (before the cap at the right margin).
inline constexpr int32_t kMinTextBoxReach = 410;
// The fixed widths of the "Rank" and "File name (line number)" header cells.
inline constexpr int32_t kRankHeaderWidth = 40;
inline constexpr int32_t kFileHeaderWidth = 400;

struct MainLayout {
    int32_t textBoxRight = 0;   // R: right edge of the Find and Path boxes
    int32_t resultsBottom = 0;  // S: bottom edge of the results pane
    LayoutRect findLabel, findBox;
    LayoutRect pathLabel, pathBox;
    LayoutRect statusLine;
    LayoutRect rankHeader, fileHeader, lineHeader;
    LayoutRect resultsPane;
    LayoutRect fileLabel, fileBox;
    LayoutRect previewPane;
};

// clientWidth, clientHeight: the client area; labelWidth: the width of
// "Find:  " in the interface font; lineHeight: that font's line height.
MainLayout computeMainLayout(int32_t clientWidth, int32_t clientHeight, int32_t labelWidth,
                             int32_t lineHeight);

// The bands of the main window's own surface that change when it is
// resized (status and header rows, separator and File row, the three
// margins); everything else is covered by children that repaint themselves.
std::array<LayoutRect, 5> resizedBands(const MainLayout& layout, int32_t clientWidth,
                                       int32_t clientHeight, int32_t lineHeight);

}  // namespace tarvo
