// The list's columns: "Rank" and "File name (line number)" have widths the
// user sets by dragging the border at a header's right edge (or fits to
// what they show with a double-click on it); "Line" takes the rest. Widths
// are kept in pixels at 96 DPI and scaled to the window's DPI where they
// are laid out, so a width set on one screen looks the same on another.
//
//   |<- rank ->|<------ file ------>|<-- line: the rest -->|
//   | 9999     | C:\src\main.c (12) | int main(void)       |
//     ^indent    ^indent              ^indent
//
// A row's texts stand kCellIndent in from their column's edge, as the
// headers' labels do from their boxes; the path keeps it on its right too.
// Every column keeps at least a few characters, the Line column included,
// so no border can be dragged out of reach; the Rank column keeps its
// label too, so its header is drawn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "view/marked_text.h"

namespace tarvo {

// The widths of the two sized columns, in pixels at 96 DPI.
struct ColumnWidths {
    int32_t rank = 40;
    int32_t file = 400;
    bool operator==(const ColumnWidths&) const = default;
};
inline constexpr ColumnWidths kDefaultColumnWidths{};

// No column is narrower than this many average characters of the list's
// font, and its indents.
inline constexpr int32_t kMinColumnCharacters = 3;
// A saved width above this is no width the program wrote: wider than any
// screen at 96 DPI.
inline constexpr int32_t kMaxColumnWidth = 20000;

// Where a row's texts stand, in pane pixels at the window's DPI: the rank,
// the path (fitted to pathFitWidth with "..." in the middle) and the line.
struct ListColumns {
    int32_t rankX = 5;
    int32_t pathX = 45;
    int32_t pathFitWidth = 390;
    int32_t lineX = 445;
    bool operator==(const ListColumns&) const = default;
};

// The texts' places for columns `rankWidth` and `fileWidth` pixels wide at
// `dpi` (the widths already scaled).
ListColumns listColumns(int32_t rankWidth, int32_t fileWidth, int32_t dpi);

// The narrowest a column may be at `dpi`, for a font whose average
// character is `characterWidth` pixels wide.
int32_t minimumColumnWidth(int32_t characterWidth, int32_t dpi);

// A sized column's width held between its `minimum` and the `room` the
// other columns leave it; `minimum` when the room is smaller still.
int32_t clampColumnWidth(int32_t width, int32_t minimum, int32_t room);

// The width that shows the widest of `texts` (the column's label and the
// texts of the rows in view) whole, its indents around it; `width`
// measures a text in the list's font. Not clamped.
int32_t widestTextWidth(const std::vector<std::string>& texts, const WidthFunction& width,
                        int32_t dpi);

}  // namespace tarvo
