#include "preview/preview_pane_win32.h"

#include <string>
#include <vector>

#include "preview/preview_pane_rules.h"
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

// Why a file cannot be opened, in the system's words. The document's reader
// only says that it failed, so the file is asked again the same way; one
// that opens now is not a file on a disk (a device, a pipe) or did not fit
// in memory.
std::string openFailureMessage(const char* path) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD error = GetLastError();
    if (file != INVALID_HANDLE_VALUE) {
        error = GetFileType(file) == FILE_TYPE_DISK ? ERROR_NOT_ENOUGH_MEMORY : ERROR_NOT_SUPPORTED;
        CloseHandle(file);
    }
    char message[512];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, message, sizeof message, nullptr);
    return std::string(message, length);
}

}  // namespace

void PreviewPane::showFile(const char* path, int32_t lineNumber) {
    if (!path) return;
    const bool sameFile = document_.currentPath() == path;
    switch (planShowFile(position_, sameFile, lineNumber)) {
        case ShowFileStep::Nothing:
            return;
        case ShowFileStep::Repaint:
            break;
        case ShowFileStep::LoadAndRepaint:
            // A file that cannot be opened leaves an empty document; it is
            // painted at once all the same, so the old file's rows never
            // stand under the new path.
            openFailure_.clear();
            if (!document_.loadDocument(path, highlightList_))
                openFailure_ = openFailureNote(path, openFailureMessage(path));
            SetWindowTextA(fileBox_, path);
            break;
    }
    paint(nullptr);
}

void PreviewPane::paint(HDC dc) {
    HWND pane = window();
    if (!dc) dc = keptDc();
    if (!pane || !dc) return;
    PreviewPosition& position = position_;
    const PreviewDocument& document = document_;

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
        paintLine(dc, line, 0, (line - top) * h, kFarEdge, (line - top + 1) * h);
    int blankTop = plan.blankTop;
    if (!openFailure_.empty()) {
        fillWhite(dc, 0, 0, kFarEdge, h);
        const std::vector<uint8_t> plain(openFailure_.size(), Plain);
        drawMarkedText(dc, openFailure_.c_str(), plain.data(), 0, 0, h);
        blankTop = h;
    }
    fillWhite(dc, 0, blankTop, kFarEdge, kFarEdge);

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

void PreviewPane::paintLine(HDC dc, int32_t line, int left, int top, int right, int bottom) {
    fillWhite(dc, left, top, right, bottom);
    if (line > document_.lineCount()) return;
    std::string text;
    std::vector<uint8_t> attrs;
    const int32_t lineStart = buildPreviewRow(document_, line, terms_, text, attrs);
    const std::string gutter = text.substr(0, lineStart);
    const int x = drawMarkedText(dc, gutter.c_str(), attrs.data(), left, top, bottom);
    drawMarkedText(dc, text.c_str() + lineStart, attrs.data() + lineStart, x, top, bottom);
}

void PreviewPane::scroll(WPARAM request, bool fromWheel) {
    position_.topLine = scrollBarTo(request, fromWheel, kPreviewLinesPerNotch);
    paint(nullptr);
}

// ---------------------------------------------------------------------------
// Messages. The pane has no keys or buttons of its own; the main window
// hands it the wheel when the pointer is over it.
// ---------------------------------------------------------------------------

LRESULT PreviewPane::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            paint(nullptr);
            return 0;
        case WM_PAINT:
            onPaint();
            return 0;
        case WM_VSCROLL:
            scroll(wParam, false);
            return 0;
        case WM_MOUSEWHEEL:
            scroll(wParam, true);
            return 0;
        default:
            return DefWindowProcA(window(), message, wParam, lParam);
    }
}

}  // namespace tarvo
