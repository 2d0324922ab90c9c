#include "shell/status_panel_win32.h"

#include "app/clock.h"
#include "shell/program_win32.h"
#include "view/marked_text.h"
#include "view/text_drawing_win32.h"

namespace tarvo {

namespace {

constexpr COLORREF kShadowLine = RGB(128, 128, 128);
constexpr COLORREF kHighlightLine = RGB(255, 255, 255);

// The DC pen and brush (recoloured per box), the interface font, text
// without a background.
void prepareSurface(HDC dc) {
    SelectObject(dc, GetStockObject(DC_PEN));
    SelectObject(dc, GetStockObject(DC_BRUSH));
    SelectObject(dc, fontHandle(InterfaceFont));
    SetBkMode(dc, TRANSPARENT);
}

// A grey line over a white one, across the whole window: an etched groove.
void drawGroove(HDC dc, int y) {
    SetDCPenColor(dc, kShadowLine);
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, kFarEdge, y);
    SetDCPenColor(dc, kHighlightLine);
    MoveToEx(dc, 0, y + 1, nullptr);
    LineTo(dc, kFarEdge, y + 1);
}

void drawLabel(HDC dc, const LayoutRect& rect, const char* label) {
    drawText(dc, rect.left, rect.top, label);
}

}  // namespace

void paintStatusLine(HDC dc) {
    const Program& p = program();
    if (!dc) dc = p.windows.mainDc;
    const bool running = p.runState == RunState::Running;
    // The clock is first read when the first search starts, which so starts at 0.
    const std::string text =
        statusLineText(p.engine.stats(), p.runTimes, running ? elapsedSeconds() : 0.0, running);
    const LayoutRect& status = p.layout.statusLine;
    prepareSurface(dc);
    SetDCPenColor(dc, p.faceColour);
    SetDCBrushColor(dc, p.faceColour);
    Rectangle(dc, 0, status.top, kFarEdge, status.bottom);
    drawText(dc, status.left, status.top, text);
}

void paintMainWindow(HDC dc) {
    const Program& p = program();
    const MainLayout& l = p.layout;
    prepareSurface(dc);
    SetDCBrushColor(dc, p.faceColour);
    Rectangle(dc, -1, -1, kFarEdge, kFarEdge);
    drawGroove(dc, 0);  // under the menu bar
    drawLabel(dc, l.findLabel, "Find:");
    drawLabel(dc, l.pathLabel, "Path:");
    drawLabel(dc, l.fileLabel, "File:");
    paintStatusLine(dc);
    auto header = [&](const LayoutRect& r, const char* label) {
        drawHeaderBox(dc, r.left, r.top, r.right, r.bottom, p.faceColour, label);
    };
    header(l.rankHeader, "Rank");
    header(l.fileHeader, "File name (line number)");
    header(l.lineHeader, "Line");
    if (l.resultsPane.height() > 0) drawGroove(dc, l.resultsBottom + 5);
}

}  // namespace tarvo
