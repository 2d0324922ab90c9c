// What the drawing primitives and the status panel put on a device context,
// read back from a memory DIB.
#include "view/text_drawing_win32.h"

#include "gui_support.h"
#include "shell/status_panel_win32.h"
#include "view/text_class.h"

namespace tarvo::testing {
namespace {

using TextDrawing = ProgramTest;

constexpr COLORREF kYellow = RGB(255, 255, 160);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFace = RGB(212, 208, 200);

void prepare(HDC dc) {
    SelectObject(dc, GetStockObject(DC_PEN));
    SelectObject(dc, GetStockObject(DC_BRUSH));
    SelectObject(dc, fontHandle(InterfaceFont));
    SetBkMode(dc, TRANSPARENT);
}

int extent(HDC dc, const char* text) {
    SIZE size;
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    return size.cx;
}

TEST_F(TextDrawing, FontsHaveTheirFacesAndHeights) {
    HDC dc = windows().mainDc;
    char face[64];
    for (int font : {InterfaceFont, PreviewFont}) {
        SCOPED_TRACE(font);
        HGDIOBJ old = SelectObject(dc, fontHandle(font));
        GetTextFaceA(dc, sizeof face, face);
        TEXTMETRICA metrics;
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        EXPECT_STREQ(face, font == InterfaceFont ? "Arial" : "Courier New");
        EXPECT_EQ(lineHeight(font), metrics.tmHeight + metrics.tmExternalLeading);
    }
    EXPECT_EQ(textWidth("iiii", PreviewFont), textWidth("WWWW", PreviewFont)) << "monospaced";
    EXPECT_LT(textWidth("iiii", InterfaceFont), textWidth("WWWW", InterfaceFont));
}

TEST_F(TextDrawing, AMarkedRunsBoxIsExactlyAsWideAsItsText) {
    Dib dib(200, 30);
    prepare(dib.dc());
    const char text[] = "ab\tc";
    const uint8_t attrs[] = {Plain, MarkBit | Plain, MarkBit | Plain, Keyword};
    drawMarkedText(dib.dc(), text, attrs, 10, 5, 25);
    const int left = 10 + extent(dib.dc(), "a");
    const int right = left + extent(dib.dc(), "b   ");  // the tab fills to the run's 4th column
    for (int y : {5, 24}) {
        SCOPED_TRACE(y);
        EXPECT_NE(dib.at(left - 1, y), kYellow);
        EXPECT_EQ(dib.at(left, y), kYellow);
        EXPECT_EQ(dib.at(right - 1, y), kYellow);
        EXPECT_NE(dib.at(right, y), kYellow);
    }
    EXPECT_NE(dib.at(left, 4), kYellow);
    EXPECT_NE(dib.at(left, 25), kYellow);
    SCOPED_TRACE("the keyword after the box is drawn in blue");
    bool blue = false;
    for (int x = right; x < right + extent(dib.dc(), "c"); ++x)
        for (int y = 5; y < 25; ++y)
            blue |= dib.at(x, y) == RGB(0, 0, 255);
    EXPECT_TRUE(blue);

    SCOPED_TRACE("an empty text draws nothing");
    Dib empty(50, 20);
    prepare(empty.dc());
    drawMarkedText(empty.dc(), "", attrs, 0, 0, 20);
    EXPECT_EQ(empty.countColour(kWhite), 50 * 20);
}

TEST_F(TextDrawing, HeaderBoxNeedsRoomForItsLabelPlusTen) {
    const int label = textWidth("Rank", InterfaceFont);
    {
        SCOPED_TRACE("one pixel too narrow: nothing at all");
        Dib dib(120, 30);
        prepare(dib.dc());
        drawHeaderBox(dib.dc(), 5, 5, 5 + label + 9, 25, kFace, "Rank");
        EXPECT_EQ(dib.countColour(kWhite), 120 * 30);
    }
    {
        SCOPED_TRACE("wide enough: face, white top-left edges, grey bottom-right edges");
        Dib dib(120, 30);
        prepare(dib.dc());
        const int right = 5 + label + 10;
        drawHeaderBox(dib.dc(), 5, 5, right, 25, kFace, "Rank");
        EXPECT_EQ(dib.at(5, 10), kWhite);              // left edge
        EXPECT_EQ(dib.at(7, 5), kWhite);               // top edge
        EXPECT_EQ(dib.at(7, 24), RGB(128, 128, 128));  // bottom edge
        EXPECT_EQ(dib.at(right - 1, 10), RGB(128, 128, 128));
        EXPECT_EQ(dib.at(right, 10), kWhite);  // nothing past the box
        EXPECT_EQ(dib.at(right - 3, 22), kFace);
    }
}

TEST_F(TextDrawing, FitTextToWidthMeasuresWithTheContextsFont) {
    Dib dib(10, 10);
    prepare(dib.dc());
    std::string text = "C:\\a\\very\\long\\path\\to\\some\\file\\name.cpp (123)";
    std::vector<uint8_t> attrs(text.size(), Plain);
    const int limit = extent(dib.dc(), text.c_str()) / 2;
    fitTextToWidth(dib.dc(), text, attrs, limit);
    EXPECT_LE(extent(dib.dc(), text.c_str()), limit);
    EXPECT_NE(text.find("..."), std::string::npos);
    EXPECT_EQ(attrs.size(), text.size());
    EXPECT_EQ(text.substr(text.size() - 5), "(123)");
}

TEST_F(TextDrawing, StatusLineShowsTheCountsOnTheFaceColour) {
    Dib before(900, 100);
    paintStatusLine(before.dc());
    const LayoutRect& status = p().layout.statusLine;
    const COLORREF face = p().faceColour;
    EXPECT_EQ(before.at(0, status.top), face) << "filled from the left edge";
    EXPECT_EQ(before.at(899, status.bottom - 1), face);
    EXPECT_EQ(before.at(0, status.bottom), kWhite);
    int inked = 0;
    for (int x = 0; x < 900; ++x)
        for (int y = status.top; y < status.bottom; ++y)
            inked += before.at(x, y) == RGB(0, 0, 0);
    EXPECT_GT(inked, 0);

    SCOPED_TRACE("the main window: labels, headers, grooves");
    Dib whole(900, 700);
    paintMainWindow(whole.dc());
    EXPECT_EQ(whole.at(3, 0), RGB(128, 128, 128));
    EXPECT_EQ(whole.at(3, 1), kWhite);
    EXPECT_EQ(whole.at(3, 3), face);
    EXPECT_EQ(whole.at(p().layout.rankHeader.left, p().layout.rankHeader.top + 3), kWhite);
}

}  // namespace
}  // namespace tarvo::testing
