// The preview pane: the window half. showFile loads and centres what the
// result store selects; painting draws the rows of the lines in view over
// the rows preview_pane_rules.h builds; scrolling goes through the pane's
// scroll bar, which clamps the top line to its range.
//
// Every repaint outside WM_PAINT draws at once through the pane's kept
// context, so the pane follows the thumb and the selection without waiting
// for a paint message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/term_table.h"
#include "preview/preview_document.h"
#include "preview/preview_pane_rules.h"
#include "view/fonts_win32.h"
#include "view/pane_window_win32.h"

namespace tarvo {

class PreviewPane final : public PaneWindow {
public:
    // The terms it marks and the endings it colours, both read live, and the
    // fonts it draws and measures with.
    PreviewPane(const TermTable& terms, const std::string& highlightList, const Fonts& fonts)
        : terms_(terms), highlightList_(highlightList), fonts_(fonts) {}

    // The read-only box that shows the previewed file's path.
    void setFileBox(HWND box) { fileBox_ = box; }

    // Shows a file with a line (0 meaning 1) in the middle of the pane. The
    // same file is not read again unless it is held in part and the line
    // lies outside the part, and the same line of it is not repainted. The
    // empty path empties the pane and the File box; a file that cannot be
    // opened, or that ends before the line, shows one line saying why.
    void showFile(const char* path, int32_t lineNumber);

    // Writes the visible-line count.
    void paint(HDC dc) override;

    // A WM_VSCROLL or WM_MOUSEWHEEL wParam.
    void scroll(WPARAM request, bool fromWheel);
    // Sideways: a WM_HSCROLL wParam, or a wheel's, turning away from the
    // user moving towards the lines' start.
    void scrollSideways(WPARAM request, bool fromWheel);

    const PreviewDocument& document() const { return document_; }

    // Tabs stand `columns` apart in the lines shown; repaints.
    void setTabWidth(int columns);
    PreviewColumns columns() const { return {document_.widestLine(), document_.tabWidth()}; }
    const PreviewPosition& position() const { return position_; }

    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Reads the file around the target line, and the note shown instead of
    // the lines when that cannot be done.
    void loadDocument(const char* path);
    // Paints the row of one line in a rectangle: white, or the result's
    // band, then the line's text when the document has that line.
    void paintLine(HDC dc, int32_t line, int left, int top, int right, int bottom);
    // Left and Right scroll sideways by a few columns; the keys of
    // previewKeyScroll as it says; other keys do nothing.
    void onKey(WPARAM virtualKey);
    // The pane's height changed: the result's line stays in view.
    void onSize();
    // The wheel scrolls up and down, sideways with Shift.
    void onWheel(WPARAM wParam);
    // A tilting wheel's positive distance means right, the opposite of the
    // wheel's, so it is turned around.
    void onTiltWheel(WPARAM wParam);

    const TermTable& terms_;
    const std::string& highlightList_;
    const Fonts& fonts_;
    HWND fileBox_ = nullptr;
    PreviewDocument document_;  // the previewed file
    // Shown in place of the lines when they cannot be shown: why (in the
    // system's words when the file could not be opened). Empty otherwise.
    std::string note_;
    PreviewPosition position_;  // its target line, top line and visible lines
};

}  // namespace tarvo
