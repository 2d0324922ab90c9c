// Where everything sits in the main window: a plain function of the client
// size, the window's DPI, two fonts' metrics and what the user sized (the
// list's columns and the share of the height the list takes), so the whole
// layout is tested without a window.
//
//   Find: [Find box      ]          row 1, top 7
//   Path: [Path box      ]          row 2
//   status line                     row 3
//   |Rank|File name (line number)|Line|   header row, H + 3 high
//   [results pane                  ]    its share of what is left
//   ------------------------------      separator at S + 5: the splitter
//   File: [File box                ]
//   [preview pane                  ]    the rest
//
// Every fixed size below (margins, gaps, the header row's extra, the boxes'
// reach, the columns) is a size at 96 DPI, scaled to the window's DPI;
// heights of text come from the fonts, which are made for that DPI. A label
// and its box form one row: a box's right end is where a drop-down button
// would go.
//
// Without a share the panes split what is left evenly (the preview gets the
// odd pixel); with one, the list gets that many thousandths of it. Either
// way the list keeps one row and the preview kMinPreviewLines lines when
// the window has room for both, which its minimum size guarantees.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "app/settings_file.h"
#include "results/list_columns.h"

namespace tarvo {

struct LayoutRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool contains(int32_t x, int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    bool operator==(const LayoutRect&) const = default;
};

// All at 96 DPI. The window's edges keep this margin left, right and
// bottom; rows, and a label and its box, are kLayoutGap apart.
inline constexpr int32_t kLayoutMargin = 5;
inline constexpr int32_t kLayoutGap = 5;
inline constexpr int32_t kLayoutTopMargin = 7;  // above the Find row
// The header row is this much higher than a line of text.
inline constexpr int32_t kHeaderRowExtra = 3;
// From the results pane's bottom to the File row: the splitter, with the
// groove lying in it.
inline constexpr int32_t kFileRowGap = 12;
inline constexpr int32_t kGrooveOffset = 5;  // the groove's line below the results pane
// The Find and Path boxes get at least this much room past their label
// (before the cap at the right margin).
inline constexpr int32_t kMinTextBoxReach = 410;
// A press this close to a column border drags it.
inline constexpr int32_t kBorderGrip = 3;
// The smallest window shows this many characters of each box.
inline constexpr int32_t kMinTextBoxCharacters = 8;

// The preview keeps at least this many lines however the height is shared.
inline constexpr int32_t kMinPreviewLines = 3;

// What the fonts, made for the window's DPI, and the DPI itself give.
struct LayoutMetrics {
    int32_t dpi = 96;
    int32_t labelWidth = 0;         // W: "Find:  " in the interface font
    int32_t lineHeight = 0;         // H: the interface font's line height
    int32_t previewLineHeight = 0;  // the preview font's
    int32_t characterWidth = 0;     // the interface font's average character
    int32_t rankLabelWidth = 0;     // "Rank" in the interface font
};

// What the user sized: kept in the settings file, the columns at 96 DPI.
struct UserLayout {
    ColumnWidths columns;
    std::optional<int32_t> listShare;  // thousandths of the panes' height; none: even
};

struct MainLayout {
    int32_t textBoxRight = 0;   // R: right edge of the Find and Path boxes
    int32_t resultsBottom = 0;  // S: bottom edge of the results pane
    int32_t panesHeight = 0;    // what the two panes share
    LayoutRect findLabel, findBox;
    LayoutRect pathLabel, pathBox;
    LayoutRect statusLine;
    LayoutRect rankHeader, fileHeader, lineHeader;
    LayoutRect resultsPane;
    LayoutRect fileLabel, fileBox;
    LayoutRect previewPane;
    // Where a press drags the Rank and the File column's right border, and
    // the height the panes share.
    LayoutRect rankBorder, fileBorder, splitter;
    // The columns as laid out (fitted to the list's width, in pixels) and
    // where the rows' texts stand in the results pane.
    int32_t rankWidth = 0, fileWidth = 0;
    ListColumns columns;
    int32_t minimumColumn = 0;  // no column is narrower
    int32_t minimumRank = 0;    // nor the Rank column narrower than its label
};

MainLayout computeMainLayout(int32_t clientWidth, int32_t clientHeight,
                             const LayoutMetrics& metrics, const UserLayout& user);

// The list's height for a share of `panesHeight`: an even split without
// one; held so the list keeps minList and the preview minPreview pixels
// when there is room for both.
int32_t listHeightFor(std::optional<int32_t> share, int32_t panesHeight, int32_t minList,
                      int32_t minPreview);
// The share a list `listHeight` pixels high takes of `panesHeight`.
int32_t shareForListHeight(int32_t listHeight, int32_t panesHeight);

// The smallest client area that shows both boxes' labels with a little of
// each box, the status line, the three columns at their minimum, one row
// of the list and kMinPreviewLines of the preview. (The menu bar's width is
// the window's, added by the caller.)
struct ClientSize {
    int32_t width = 0;
    int32_t height = 0;
};
ClientSize minimumClientSize(const LayoutMetrics& metrics);

// What a press at (x, y) drags.
enum class LayoutGrip { None, RankBorder, FileBorder, Splitter };
LayoutGrip gripAt(const MainLayout& layout, int32_t x, int32_t y);

// The width, in pixels, of the column whose border is dragged (or fitted)
// to make it `wanted` wide: held at its minimum, and where the columns to
// its right keep theirs.
int32_t draggedColumnWidth(const MainLayout& layout, LayoutGrip border, int32_t wanted);

// The bands of the main window's own surface that change when it is
// resized (status and header rows, separator and File row, the three
// margins); everything else is covered by children that repaint themselves.
std::array<LayoutRect, 5> resizedBands(const MainLayout& layout, int32_t clientWidth,
                                       int32_t clientHeight);

}  // namespace tarvo
