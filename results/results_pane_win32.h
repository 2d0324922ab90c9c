// The results list pane: the window half. It paints the rows the result
// store's view state names, over the values results_pane_rules.h computes,
// and turns keys, clicks, drags, scroll bar requests and wheel turns into
// selectRow and firstVisibleRow changes. A double-click or a right click on
// a row also selects it, and is handed on to the parent, which opens the
// row or shows its menu; so is Enter while the list holds the focus, which
// it shows with a dotted frame round the selected row.
//
// Two ways to paint: WM_PAINT draws every visible row into BeginPaint's
// context; every other repaint draws at once through the pane's kept
// context, and there the row paint cache skips rows that would look as they
// already do.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/term_table.h"
#include "results/list_columns.h"
#include "results/result_store.h"
#include "results/results_pane_rules.h"
#include "view/fonts_win32.h"
#include "view/pane_window_win32.h"

namespace tarvo {

class ResultsPane final : public PaneWindow {
public:
    // The store it lists and the terms it marks, both read live, and the
    // fonts it draws and measures with. The store learns how the Line column
    // shows a line from the pane.
    ResultsPane(ResultStore& store, const TermTable& terms, const Fonts& fonts);

    // Writes the store's visibleRows.
    void paint(HDC dc) override;

    // A WM_VSCROLL or WM_MOUSEWHEEL wParam. Never moves the selection.
    void scroll(WPARAM request, bool fromWheel);

    // Page Up/Down, Home, End, Up and Down select; every other key is ignored.
    void handleKey(WPARAM virtualKey);

    // Selects the row under a point in pane pixels; a point on no row
    // changes nothing and returns false.
    bool selectAtPoint(uint16_t x, uint16_t y);

    // Every row is drawn afresh next time.
    void forgetRowCache() { rowCache_.clear(); }

    // Tabs stand `columns` apart in the Line column; repaints.
    void setTabWidth(int columns);

    // Where the rows' texts stand, in line with the header boxes the main
    // window draws above the pane; repaints when they moved.
    void setColumns(const ListColumns& columns);
    const ListColumns& columns() const { return columns_; }
    // The texts of the rows in view in one column (the rank's or the
    // path's, whole), for fitting the column to them.
    std::vector<std::string> columnTexts(bool paths);

    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Test seam: told of every row actually drawn (not skipped by the row
    // cache).
    void (*rowDrawn)(int32_t row) = nullptr;

private:
    // The display row under a point in pane pixels, -1 for none.
    int32_t rowAt(int32_t x, int32_t y) const;
    // The second press of a double-click selects as a press does; on a row
    // it tells the parent with WM_NOTIFY and NM_DBLCLK, as list controls do.
    void onDoubleClick(uint16_t x, uint16_t y);
    // With the focus on the list: Enter tells the parent with NM_RETURN, as
    // list controls do; the other keys go to handleKey.
    void onKeyDown(WPARAM virtualKey);
    void notifyParent(UINT code);
    // A drag with the left button down selects the row under the pointer.
    void onMouseMove(WPARAM buttons, uint16_t x, uint16_t y);
    // Only a right click on a row goes on to the parent, which shows the
    // row's menu; the press before it selected the row.
    LRESULT onContextMenu(WPARAM wParam, LPARAM lParam);

    // WM_SIZE: the Line column's new width, then a repaint.
    void onSize();
    // The Line column's width: from its text to the pane's right edge.
    void updateLineColumnWidth();
    // A cell's text with its attributes, from x on, in the row.
    void drawCell(HDC dc, const std::string& text, const std::vector<uint8_t>& attrs, int x,
                  const RowRect& row) const;
    // Draws one display row in its rectangle when rowNeedsPaint says so.
    void paintRow(HDC dc, int32_t row, const RowRect& rect);
    // The row paint cache's test for one display row; records the row when
    // it must be drawn.
    bool rowNeedsPaint(HDC dc, int32_t row, const RowRect& rect);

    ResultStore& store_;
    const TermTable& terms_;
    const Fonts& fonts_;
    RowPaintCache rowCache_;  // what each view position last showed
    ListColumns columns_;     // where each row's texts stand
    int tabWidth_ = kDefaultTabWidth;
};

}  // namespace tarvo
