#include "view/text_drawing_win32.h"

#include <utility>

#include "view/marked_text.h"
#include "view/text_class.h"
#include "view/wide_text.h"

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
int characterWidths[kFontCount] = {};

LPCWSTR wide(const std::u16string& text) {
    return reinterpret_cast<LPCWSTR>(text.c_str());
}

int extentOf(HDC dc, const std::u16string& text) {
    SIZE size = {};
    GetTextExtentPoint32W(dc, wide(text), static_cast<int>(text.size()), &size);
    return size.cx;
}

int extentOf(HDC dc, const char* text, int length) {
    return extentOf(dc, toUtf16(std::string_view(text, length)));
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
        characterWidths[i] = metrics.tmAveCharWidth;
    }
}

int lineHeight(int font) {
    return lineHeights[font];
}

int characterWidth(int font) {
    return characterWidths[font];
}

HFONT fontHandle(int font) {
    return fonts[font];
}

int textWidth(std::string_view text, int font) {
    // Laid out as drawMarkedText draws it: tabs widened, line breaks as blanks.
    const std::string copy(text);
    const std::vector<uint8_t> plain(copy.size(), Plain);
    std::string drawn, run;
    uint8_t attribute = 0;
    int column = 0;
    for (int at = 0, after;
         (after = nextRun(copy.c_str(), plain.data(), at, column, run, attribute)) != at;
         at = after)
        drawn += run;
    HGDIOBJ previous = SelectObject(measuringDc, fonts[font]);
    const int width = extentOf(measuringDc, drawn.data(), static_cast<int>(drawn.size()));
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
    drawText(dc, left + kHeaderLabelIndent, top + 1, label);
}

void drawText(HDC dc, int x, int y, std::string_view text) {
    const std::u16string units = toUtf16(text);
    TextOutW(dc, x, y, wide(units), static_cast<int>(units.size()));
}

int drawMarkedText(HDC dc, const char* text, const uint8_t* attrs, int x, int top, int bottom) {
    // The whole text in UTF-16, its runs' ends, and one measurement of every
    // character's right edge: runs of any number cost one extent, and the
    // runs outside the clipping box are passed over, not drawn.
    std::u16string units;
    std::vector<std::pair<int, uint8_t>> runs;  // (end in units, attribute)
    std::string run;
    uint8_t attribute = 0;
    int column = 0;
    for (int at = 0, after; (after = nextRun(text, attrs, at, column, run, attribute)) != at;
         at = after) {
        appendUtf16(units, run);
        runs.emplace_back(static_cast<int>(units.size()), attribute);
    }
    if (units.empty()) return x;
    std::vector<INT> rightEdges(units.size());
    SIZE size = {};
    GetTextExtentExPointW(dc, wide(units), static_cast<int>(units.size()), 0, nullptr,
                          rightEdges.data(), &size);
    RECT clip = {};
    GetClipBox(dc, &clip);

    int begin = 0;
    for (const auto& [end, runAttribute] : runs) {
        const int left = x + (begin > 0 ? rightEdges[begin - 1] : 0);
        const int right = x + rightEdges[end - 1];
        if (left >= clip.right) break;
        if (right > clip.left) {
            if (runAttribute & MarkBit) {
                SetDCBrushColor(dc, kMarkBoxColour);
                SetDCPenColor(dc, kMarkBoxColour);
                Rectangle(dc, left, top, right, bottom);
            }
            // The selected row's text colour follows the theme; read it at each use.
            if (auto colour =
                    classTextColour(textClassOf(runAttribute), GetSysColor(COLOR_HIGHLIGHTTEXT)))
                SetTextColor(dc, *colour);
            TextOutW(dc, left, top, wide(units) + begin, end - begin);
        }
        begin = end;
    }
    return x + rightEdges.back();
}

void fitTextToWidth(HDC dc, std::string& text, std::vector<uint8_t>& attrs, int maxWidth) {
    fitTextToWidth(text, attrs, maxWidth,
                   [dc](const char* bytes, int length) { return extentOf(dc, bytes, length); });
}

}  // namespace tarvo
