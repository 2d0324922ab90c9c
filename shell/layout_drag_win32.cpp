#include "shell/layout_drag_win32.h"

#include <string>
#include <vector>

#include "shell/main_window_win32.h"
#include "shell/program_win32.h"
#include "view/display_scale.h"

namespace tarvo {

namespace {

// Where the pointer is, in the main window's client pixels.
POINT pointerInClient(HWND window) {
    POINT at;
    GetCursorPos(&at);
    ScreenToClient(window, &at);
    return at;
}

// The columns as the user set them, or the layout's own.
ColumnWidths columnWidths(const Program& p) {
    return p.settings.columnWidths.value_or(kDefaultColumnWidths);
}

// A sized column's new width in pixels, kept at 96 DPI, then the layout.
void setColumnWidth(Program& p, LayoutGrip border, int32_t width) {
    ColumnWidths widths = columnWidths(p);
    (border == LayoutGrip::RankBorder ? widths.rank : widths.file) =
        scaleFromDpi(width, p.fonts.dpi());
    p.settings.columnWidths = widths;
    relayout(p);
}

}  // namespace

bool setLayoutCursor(const Program& p) {
    const POINT at = pointerInClient(p.windows.main);
    LayoutGrip grip = p.layoutDrag.grip;
    if (grip == LayoutGrip::None) grip = gripAt(p.layout, at.x, at.y);
    if (grip == LayoutGrip::None) return false;
    SetCursor(LoadCursorA(nullptr, grip == LayoutGrip::Splitter ? IDC_SIZENS : IDC_SIZEWE));
    return true;
}

bool beginLayoutDrag(Program& p, int x, int y) {
    const MainLayout& l = p.layout;
    const LayoutGrip grip = gripAt(l, x, y);
    switch (grip) {
        case LayoutGrip::None:
            return false;
        case LayoutGrip::RankBorder:
            p.layoutDrag.offset = x - l.rankHeader.left - l.rankWidth;
            break;
        case LayoutGrip::FileBorder:
            p.layoutDrag.offset = x - l.fileHeader.left - l.fileWidth;
            break;
        case LayoutGrip::Splitter:
            p.layoutDrag.offset = y - l.resultsBottom;
            break;
    }
    p.layoutDrag.grip = grip;
    SetCapture(p.windows.main);
    return true;
}

void continueLayoutDrag(Program& p, int x, int y) {
    const MainLayout& l = p.layout;
    const int32_t offset = p.layoutDrag.offset;
    switch (p.layoutDrag.grip) {
        case LayoutGrip::None:
            return;
        case LayoutGrip::RankBorder:
            return setColumnWidth(
                p, LayoutGrip::RankBorder,
                draggedColumnWidth(l, LayoutGrip::RankBorder, x - offset - l.rankHeader.left));
        case LayoutGrip::FileBorder:
            return setColumnWidth(
                p, LayoutGrip::FileBorder,
                draggedColumnWidth(l, LayoutGrip::FileBorder, x - offset - l.fileHeader.left));
        case LayoutGrip::Splitter: {
            // The layout holds the list's height where the list keeps a row
            // and the preview its lines.
            p.settings.listShare =
                shareForListHeight(y - offset - l.resultsPane.top, l.panesHeight);
            relayout(p);
            // Kept as shown: a drag past a limit stops at it.
            p.settings.listShare =
                shareForListHeight(p.layout.resultsPane.height(), p.layout.panesHeight);
            return;
        }
    }
}

void endLayoutDrag(Program& p) {
    if (p.layoutDrag.grip == LayoutGrip::None) return;
    p.layoutDrag.grip = LayoutGrip::None;
    if (GetCapture() == p.windows.main) ReleaseCapture();
}

bool fitColumnAt(Program& p, int x, int y) {
    const LayoutGrip border = gripAt(p.layout, x, y);
    if (border != LayoutGrip::RankBorder && border != LayoutGrip::FileBorder) return false;
    const bool paths = border == LayoutGrip::FileBorder;
    std::vector<std::string> texts = p.resultsPane.columnTexts(paths);
    texts.emplace_back(paths ? kFileHeaderLabel : kRankHeaderLabel);
    const Fonts& fonts = p.fonts;
    const int32_t widest = widestTextWidth(
        texts,
        [&fonts](const char* text, int length) {
            return fonts.textWidth(std::string_view(text, length), FontIndex::Interface);
        },
        fonts.dpi());
    setColumnWidth(p, border, draggedColumnWidth(p.layout, border, widest));
    return true;
}

}  // namespace tarvo
