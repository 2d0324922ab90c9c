#include "preview/preview_pane_win32.h"

#include <string>
#include <vector>

#include "engine/system_path_win32.h"
#include "preview/preview_pane_rules.h"
#include "view/marked_text.h"
#include "view/text_class.h"
#include "view/text_drawing_win32.h"

namespace tarvo {

namespace {

void fillWhite(HDC dc, int left, int top, int right, int bottom) {
    fillBox(dc, kWhite, left, top, right, bottom);
}

// Why a file cannot be opened, in the system's words. The document's reader
// only says that it failed, so the file is asked again the same way; one
// that opens now is not a file on a disk (a device, a pipe) or did not fit
// in memory.
std::string openFailureMessage(const char* path) {
    HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
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
            // Another line of a file held in part may lie outside the part.
            if (document_.readAgainFor(position_.targetLine)) loadDocument(path);
            break;
        case ShowFileStep::LoadAndRepaint:
            loadDocument(path);
            // The path in its own letters whatever the system's code page.
            SetWindowTextW(fileBox_, wideText(path).c_str());
            break;
    }
    // The result's first term in view when it would stand right of the pane.
    position_.leftColumn = leftColumnFor(firstTermColumns(document_, position_.targetLine, terms_),
                                         position_.visibleColumns, columns());
    paint(nullptr);
}

void PreviewPane::setTabWidth(int columns) {
    document_.setTabWidth(columns);
    paint(nullptr);
}

void PreviewPane::loadDocument(const char* path) {
    // A file that cannot be opened leaves an empty document; it is painted
    // at once all the same, so the old file's rows never stand under the
    // new path.
    note_.clear();
    if (!document_.loadDocument(path, highlightList_, position_.targetLine)) {
        note_ = openFailureNote(path, openFailureMessage(path));
    } else if (document_.missingLine()) {
        note_ = missingLineNote(path, document_.missingLine());
    }
}

void PreviewPane::paint(HDC dc) {
    dc = beginPanePaint(dc, fonts_.handle(FontIndex::Preview));
    if (!dc) return;
    PreviewPosition& position = position_;
    const PreviewDocument& document = document_;
    const int h = fonts_.lineHeight(FontIndex::Preview);
    position.visibleLines = rowsInWindow(h);
    RECT client;
    GetClientRect(window(), &client);
    position.wholeLines = client.bottom / h;  // above the sideways scroll bar
    position.visibleColumns = columnsShown(client.right, fonts_.characterWidth(FontIndex::Preview));

    // A centred top line above the file's start shows from line 1 instead.
    const int32_t top = paintTopLine(position.topLine, document.firstLine());
    const PreviewPaintPlan plan =
        planPreviewPaint(top, position.visibleLines, document.lastLine(), h);
    for (int32_t line = plan.firstLine; line < plan.endLine; ++line)
        paintLine(dc, line, 0, (line - top) * h, kFarEdge, (line - top + 1) * h);
    int blankTop = plan.blankTop;
    if (!note_.empty()) {
        fillWhite(dc, 0, 0, kFarEdge, h);
        const std::vector<uint8_t> plain(note_.size(), kPlainText);
        drawMarkedText(dc, note_.c_str(), plain.data(), 0, 0, h, document.tabWidth());
        blankTop = h;
    }
    fillWhite(dc, 0, blankTop, kFarEdge, kFarEdge);
    if (hasFocus()) DrawFocusRect(dc, &client);

    setScrollBar(SB_VERT, previewScrollBar(document.firstLine(), document.lastLine(),
                                           position.visibleLines, top));
    setScrollBar(SB_HORZ,
                 previewColumnBar(columns(), position.visibleColumns, position.leftColumn));
}

void PreviewPane::paintLine(HDC dc, int32_t line, int left, int top, int right, int bottom) {
    if (line < document_.firstLine() || line > document_.lastLine())
        return fillWhite(dc, left, top, right, bottom);
    // The result's line on its band, so it stands out where it cannot be
    // centred (near the start or the end of the file).
    const COLORREF ground = line == position_.targetLine ? kResultLineColour : kWhite;
    fillBox(dc, ground, left, top, right, bottom);
    std::string text;
    std::vector<uint8_t> attrs;
    const int32_t lineStart = buildPreviewRow(document_, line, terms_, text, attrs);
    const std::string gutter = text.substr(0, lineStart);
    const int gutterRight = left + fonts_.textWidth(gutter, FontIndex::Preview);
    // The line scrolls sideways under its number, which stays: what passes
    // left of the text's edge is covered again.
    const int tabWidth = document_.tabWidth();
    drawMarkedText(dc, text.c_str() + lineStart, attrs.data() + lineStart,
                   gutterRight - position_.leftColumn * fonts_.characterWidth(FontIndex::Preview),
                   top, bottom, tabWidth);
    if (position_.leftColumn > 0) fillBox(dc, ground, left, top, gutterRight, bottom);
    drawMarkedText(dc, gutter.c_str(), attrs.data(), left, top, bottom, tabWidth);
}

void PreviewPane::scroll(WPARAM request, bool fromWheel) {
    position_.topLine = scrollBarTo(SB_VERT, request, fromWheel, kPreviewLinesPerNotch);
    paint(nullptr);
}

void PreviewPane::scrollSideways(WPARAM request, bool fromWheel) {
    position_.leftColumn = scrollBarTo(SB_HORZ, request, fromWheel, kPreviewColumnsPerNotch);
    paint(nullptr);
}

void PreviewPane::onKey(WPARAM virtualKey) {
    if (virtualKey == VK_LEFT || virtualKey == VK_RIGHT) {
        const int32_t step = virtualKey == VK_LEFT ? -kPreviewColumnsPerKey : kPreviewColumnsPerKey;
        position_.leftColumn = scrollBarBy(SB_HORZ, step);
        return paint(nullptr);
    }
    const std::optional<KeyScroll> key =
        previewKeyScroll(static_cast<int32_t>(virtualKey), GetKeyState(VK_CONTROL) < 0);
    if (!key) return;
    const WPARAM request = static_cast<WPARAM>(key->request);
    if (key->sideways) {
        scrollSideways(request, false);
    } else {
        scroll(request, false);
    }
}

void PreviewPane::onSize() {
    const int h = fonts_.lineHeight(FontIndex::Preview);
    RECT client;
    GetClientRect(window(), &client);
    position_.topLine = topLineAfterResize(position_, client.bottom / h, document_.firstLine());
    paint(nullptr);
}

void PreviewPane::onWheel(WPARAM wParam) {
    if (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) {
        scrollSideways(wParam, true);
    } else {
        scroll(wParam, true);
    }
}

void PreviewPane::onTiltWheel(WPARAM wParam) {
    scrollSideways(MAKEWPARAM(0, -GET_WHEEL_DELTA_WPARAM(wParam)), true);
}

// ---------------------------------------------------------------------------
// Messages: one short handler each. A click gives the pane the keyboard
// focus, for its keys; the main window hands it the wheel when the pointer
// is over it.
// ---------------------------------------------------------------------------

LRESULT PreviewPane::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            onSize();
            return 0;
        case WM_PAINT:
            onPaint();
            return 0;
        case WM_VSCROLL:
            scroll(wParam, false);
            return 0;
        case WM_HSCROLL:
            scrollSideways(wParam, false);
            return 0;
        case WM_MOUSEWHEEL:
            onWheel(wParam);
            return 0;
        case WM_MOUSEHWHEEL:
            onTiltWheel(wParam);
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(window());
            return 0;
        case WM_KEYDOWN:
            onKey(wParam);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            paint(nullptr);  // the focus frame
            return 0;
        default:
            return DefWindowProcA(window(), message, wParam, lParam);
    }
}

}  // namespace tarvo
