#include "preview/preview_pane_win32.h"

#include <string>
#include <vector>

#include "preview/preview_pane_rules.h"
#include "shell/program_win32.h"
#include "view/marked_text.h"
#include "view/text_class.h"
#include "view/text_drawing_win32.h"

namespace tarvo {

namespace {

void fillWhite(HDC dc, int left, int top, int right, int bottom) {
    SetDCPenColor(dc, kWhite);
    SetDCBrushColor(dc, kWhite);
    Rectangle(dc, left, top, right, bottom);
}

ScrollBarState readScrollBar(HWND pane) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(pane, SB_VERT, &info);
    return {info.nMin, info.nMax, static_cast<int32_t>(info.nPage), info.nPos, info.nTrackPos};
}

}  // namespace

void showFile(const char* path, int32_t lineNumber) {
    if (!path) return;
    Program& p = program();
    PaneState& panes = p.panes;
    const bool sameFile = panes.document.currentPath() == path;
    switch (planShowFile(panes.preview, sameFile, lineNumber)) {
        case ShowFileStep::Nothing:
            return;
        case ShowFileStep::Repaint:
            break;
        case ShowFileStep::LoadAndRepaint:
            // A file that cannot be opened leaves an empty document; it is
            // painted at once all the same, so the old file's rows never
            // stand under the new path.
            panes.document.loadDocument(path, p.settings.request.highlightList);
            SetWindowTextA(p.windows.fileBox, path);
            break;
    }
    paintPreview(nullptr);
}

void paintPreview(HDC dc) {
    Program& p = program();
    HWND pane = p.windows.previewPane;
    if (!dc) dc = p.windows.previewDc;
    if (!pane || !dc) return;
    PreviewPosition& position = p.panes.preview;
    const PreviewDocument& document = p.panes.document;

    RECT window;
    GetWindowRect(pane, &window);
    const int h = lineHeight(PreviewFont);
    position.visibleLines = rowsShown(window.bottom - window.top, h);

    SelectObject(dc, GetStockObject(DC_PEN));
    SelectObject(dc, GetStockObject(DC_BRUSH));
    SelectObject(dc, fontHandle(PreviewFont));
    SetBkMode(dc, TRANSPARENT);

    // A centred top line above the file's start shows from line 1 instead.
    const int32_t top = paintTopLine(position.topLine);
    const PreviewPaintPlan plan =
        planPreviewPaint(top, position.visibleLines, document.lineCount(), h);
    for (int32_t line = plan.firstLine; line < plan.endLine; ++line)
        paintPreviewLine(dc, line, 0, (line - top) * h, kFarEdge, (line - top + 1) * h);
    fillWhite(dc, 0, plan.blankTop, kFarEdge, kFarEdge);

    const ScrollBarState state = previewScrollBar(document.lineCount() > 0, document.lineCount(),
                                                  position.visibleLines, top);
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    bar.nMin = state.min;
    bar.nMax = state.max;
    bar.nPage = static_cast<UINT>(state.page);
    bar.nPos = state.pos;
    SetScrollInfo(pane, SB_VERT, &bar, TRUE);
}

void paintPreviewLine(HDC dc, int32_t line, int left, int top, int right, int bottom) {
    const Program& p = program();
    fillWhite(dc, left, top, right, bottom);
    if (line > p.panes.document.lineCount()) return;
    std::string text;
    std::vector<uint8_t> attrs;
    buildPreviewRow(p.panes.document, line, p.engine.terms(), text, attrs);
    drawMarkedText(dc, text.c_str(), attrs.data(), left, top, bottom);
}

void scrollPreview(WPARAM request, bool fromWheel) {
    Program& p = program();
    HWND pane = p.windows.previewPane;
    const ScrollBarState bar = readScrollBar(pane);
    SCROLLINFO position = {};
    position.cbSize = sizeof position;
    position.fMask = SIF_POS;
    position.nPos = requestedScrollPosition(bar, static_cast<uint32_t>(request), fromWheel,
                                            kPreviewLinesPerNotch);
    // The scroll bar clamps the position to its range; the rows follow it.
    SetScrollInfo(pane, SB_VERT, &position, TRUE);
    GetScrollInfo(pane, SB_VERT, &position);
    p.panes.preview.topLine = position.nPos;
    paintPreview(nullptr);
}

// ---------------------------------------------------------------------------
// Messages. The pane has no keys or buttons of its own; the main window
// hands it the wheel when the pointer is over it.
// ---------------------------------------------------------------------------

namespace {

void onPaint(HWND pane) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(pane, &paint);
    paintPreview(dc);
    EndPaint(pane, &paint);
}

}  // namespace

LRESULT previewPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            paintPreview(nullptr);
            return 0;
        case WM_PAINT:
            onPaint(pane);
            return 0;
        case WM_VSCROLL:
            scrollPreview(wParam, false);
            return 0;
        case WM_MOUSEWHEEL:
            scrollPreview(wParam, true);
            return 0;
        default:
            return DefWindowProcA(pane, message, wParam, lParam);
    }
}

}  // namespace tarvo
