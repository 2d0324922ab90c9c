// The rules of the preview pane that need no window: which lines the rows
// show, what each row's text and attribute bytes are, and how the pane
// scrolls. The window code paints the values computed here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "view/marked_text.h"
#include "view/scroll_request.h"

namespace tarvo {

class PreviewDocument;
class TermTable;

// A row shows at most this many bytes of its line (after the line number),
// so a megabyte-long line costs no more to paint than a long one.
inline constexpr int kMaxPreviewLineBytes = 10000;
// The prefix's first bytes are drawn in the gutter colour: "%6d  " is 8
// bytes for line numbers below 1,000,000 and a digit longer beyond.
inline constexpr int kGutterBytes = 8;
// One wheel notch turns this many lines.
inline constexpr int32_t kPreviewLinesPerNotch = 4;
// Sideways, in columns: one notch of Shift+wheel, one Left or Right key.
inline constexpr int32_t kPreviewColumnsPerNotch = 8;
inline constexpr int32_t kPreviewColumnsPerKey = 4;
// A result's first term brought into view from the right stands this many
// columns in from the pane's left edge, so what leads up to it shows too.
inline constexpr int32_t kPreviewLeadColumns = 8;

// The top line that puts `line` in the middle of `visibleLines` rows. It may
// be above the first line held; paintTopLine raises it to that line (1 for
// a file's start) at the next repaint, so a line near the start of the file
// shows in its own row.
inline int32_t centredTopLine(int32_t line, int32_t visibleLines) {
    return line - visibleLines / 2;
}
inline int32_t paintTopLine(int32_t topLine, int32_t firstLine = 1) {
    return topLine < firstLine ? firstLine : topLine;
}

// Where the pane stands: the line last asked for and the line in the first
// row. The visible-line count is the one computed at the last repaint.
struct PreviewPosition {
    int32_t targetLine = 0;      // 0 until the first showFile
    int32_t topLine = 0;         // may be below 1 until the next repaint
    int32_t visibleLines = 0;    // 0 before the first repaint
    int32_t wholeLines = 0;      // of those, the rows shown whole; 0 before the first repaint
    int32_t leftColumn = 0;      // the lines' first column shown: the sideways scroll
    int32_t visibleColumns = 0;  // of the lines, right of the line numbers; 0 before a repaint
};

// The top line after the pane's height changed to `wholeLines` rows shown
// whole: the result's line, when it was shown whole before, is centred in
// them again if it would leave them; otherwise the top line stays. The
// rows start at `firstLine` at the earliest, the first line held.
int32_t topLineAfterResize(const PreviewPosition& position, int32_t wholeLines, int32_t firstLine);

enum class ShowFileStep {
    Nothing,        // the same line of the same file: no repaint
    Repaint,        // the same file, another line: re-centred, not re-read
    LoadAndRepaint  // another file: load it, then repaint
};

// What showFile does for a line of a file (line 0 meaning 1), and the
// position it leaves. Another file is repainted at once even when it cannot
// be opened, so the rows of the previous file never stand under the new
// path in the File box.
ShowFileStep planShowFile(PreviewPosition& position, bool sameFile, int32_t lineNumber);

// How wide the document's lines are drawn: its widest line's columns, with
// tab stops tabWidth columns apart.
struct PreviewColumns {
    int32_t widestLine = 0;
    int tabWidth = kDefaultTabWidth;
};

// The columns (tab stops counted from the line's start) that the line's
// first marked term spans, start and end; nothing when no term is on it.
struct ColumnSpan {
    int32_t start = 0;
    int32_t end = 0;
};
std::optional<ColumnSpan> firstTermColumns(const PreviewDocument& document, int32_t line,
                                           const TermTable& terms);

// What a key does in the preview (Left and Right aside, which move a few
// columns): Up, Down, Page Up and Page Down scroll by a line or a page;
// Home and End go to the left and right ends of the lines, with Ctrl to the
// top and the bottom of the file. Nothing for any other key.
struct KeyScroll {
    bool sideways = false;  // the horizontal scroll bar; else the vertical one
    ScrollRequest request = ScrollRequest::LineUp;
};
std::optional<KeyScroll> previewKeyScroll(int32_t virtualKey, bool control);

// The columns of the lines a pane `width` pixels wide shows right of the
// line numbers; 0 for a width that is not positive.
int32_t columnsShown(int32_t width, int32_t characterWidth);

// The sideways scroll that shows a result: from the line's start when its
// first term ends within the visible columns (or there is none), otherwise
// with the term kPreviewLeadColumns columns in from the left, or as far as
// the sideways scroll bar goes (the widest line's end in view), which still
// shows the whole term.
int32_t leftColumnFor(const std::optional<ColumnSpan>& term, int32_t visibleColumns,
                      const PreviewColumns& columns);

// The sideways scroll bar: columns 0 to the widest line's (as far as a row
// shows: its kMaxPreviewLineBytes bytes, each tab its most columns), page =
// the visible columns, so the widest line's end can be scrolled into view.
ScrollBarState previewColumnBar(const PreviewColumns& columns, int32_t visibleColumns,
                                int32_t leftColumn);

// The one line the pane shows for a file it cannot open:
// "cannot open PATH: MESSAGE", the system's message on one line, without its
// line breaks; "cannot open PATH" when there is no message.
std::string openFailureNote(std::string_view path, std::string_view systemMessage);

// The one line the pane shows when the file ends before the result's line
// (it changed since it was searched): "line N is past the end of PATH".
std::string missingLineNote(std::string_view path, int32_t line);

// What one repaint draws: rows for lines [firstLine, endLine), each
// lineHeight tall from y 0, then white from blankTop to the far edge;
// `lastLine` is the last line held.
struct PreviewPaintPlan {
    int32_t firstLine = 1;
    int32_t endLine = 1;
    int32_t blankTop = 0;
};
PreviewPaintPlan planPreviewPaint(int32_t topLine, int32_t visibleLines, int32_t lastLine,
                                  int32_t lineHeight);

// The scroll bar a repaint sets over the lines held: range firstLine to
// lastLine + 1 (one past the last line), or 1 to -1 with none held; page =
// visible lines.
ScrollBarState previewScrollBar(int32_t firstLine, int32_t lastLine, int32_t visibleLines,
                                int32_t topLine);

// The row for a line: "%6d  ", then the line's bytes (its CR and LF
// included), at most kMaxPreviewLineBytes of them, cut before a character
// that would not fit whole; a zero byte in the line ends the row, as it
// ends the text for everything that draws it. Attribute bytes: the term
// marks, the colours when the document is coloured, and kGutterText over the
// first kGutterBytes. attrs gets one byte per text byte. Returns where the
// line's bytes begin: the line number is drawn apart, so the line's tab
// stops count from its own first byte.
int32_t buildPreviewRow(const PreviewDocument& document, int32_t line, const TermTable& terms,
                        std::string& text, std::vector<uint8_t>& attrs);

}  // namespace tarvo
