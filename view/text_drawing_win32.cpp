#include "view/text_drawing_win32.h"

#include <cstring>

#include "view/marked_text.h"
#include "view/text_class.h"

namespace tarvo {

namespace {

struct FontFace {
    const char* face;
    int points;
};
constexpr FontFace kFontFaces[] = {{"Arial", 10}, {"Courier New", 8}};
constexpr int kFontCount = 2;

// A label needs this much room beyond its text: 5 pixels on either side.
constexpr int kHeaderLabelPadding = 10;
constexpr int kHeaderLabelIndent = 5;

constexpr COLORREF kHighlightEdge = RGB(255, 255, 255);
constexpr COLORREF kShadowEdge = RGB(128, 128, 128);

HDC measuringDc = nullptr;
HFONT fonts[kFontCount] = {};
int lineHeights[kFontCount] = {};

int extentOf(HDC dc, const char* text, int length) {
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, length, &size);
    return size.cx;
}

}  // namespace

void createFonts(HDC dc) {
    measuringDc = dc;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    for (int i = 0; i < kFontCount; ++i) {
        fonts[i] = CreateFontA(-MulDiv(kFontFaces[i].points, dpi, 72), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               0, 0, kFontFaces[i].face);
        HGDIOBJ previous = SelectObject(dc, fonts[i]);
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, previous);
        lineHeights[i] = metrics.tmHeight + metrics.tmExternalLeading;
    }
}

int lineHeight(int font) {
    return lineHeights[font];
}

HFONT fontHandle(int font) {
    return fonts[font];
}

int textWidth(const char* text, int font) {
    HGDIOBJ previous = SelectObject(measuringDc, fonts[font]);
    int width = extentOf(measuringDc, text, static_cast<int>(std::strlen(text)));
    SelectObject(measuringDc, previous);
    return width;
}

void drawHeaderBox(HDC dc, int left, int top, int right, int bottom, COLORREF face,
                   const char* label) {
    if (right - left < textWidth(label, InterfaceFont) + kHeaderLabelPadding) return;
    SetDCPenColor(dc, face);
    SetDCBrushColor(dc, face);
    Rectangle(dc, left, top, right, bottom);
    SetDCPenColor(dc, kHighlightEdge);
    MoveToEx(dc, left, bottom - 1, nullptr);
    LineTo(dc, left, top);
    LineTo(dc, right - 1, top);
    SetDCPenColor(dc, kShadowEdge);
    MoveToEx(dc, left, bottom - 1, nullptr);
    LineTo(dc, right - 1, bottom - 1);
    LineTo(dc, right - 1, top - 1);
    TextOutA(dc, left + kHeaderLabelIndent, top + 1, label, static_cast<int>(std::strlen(label)));
}

int drawMarkedText(HDC dc, const char* text, const uint8_t* attrs, int x, int top, int bottom) {
    std::string run;
    uint8_t attribute = 0;
    int column = 0;
    int at = 0;
    for (int after; (after = nextRun(text, attrs, at, column, run, attribute)) != at; at = after) {
        const int length = static_cast<int>(run.size());
        const int width = extentOf(dc, run.data(), length);
        if (attribute & MarkBit) {
            SetDCBrushColor(dc, kMarkBoxColour);
            SetDCPenColor(dc, kMarkBoxColour);
            Rectangle(dc, x, top, x + width, bottom);
        }
        // The selected row's text colour follows the theme; read it at each use.
        if (auto colour = classTextColour(textClassOf(attribute), GetSysColor(COLOR_HIGHLIGHTTEXT)))
            SetTextColor(dc, *colour);
        TextOutA(dc, x, top, run.data(), length);
        x += width;
    }
    return x;
}

void fitTextToWidth(HDC dc, std::string& text, std::vector<uint8_t>& attrs, int maxWidth) {
    fitTextToWidth(text, attrs, maxWidth,
                   [dc](const char* bytes, int length) { return extentOf(dc, bytes, length); });
}

}  // namespace tarvo
