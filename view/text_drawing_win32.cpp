#include "view/text_drawing_win32.h"

#include <utility>

#include "engine/wide_text.h"
#include "view/display_scale.h"
#include "view/fonts_win32.h"
#include "view/marked_text.h"
#include "view/text_class.h"

namespace tarvo {

namespace {

// At 96 DPI: a label stands this far below its box's top.
constexpr int kHeaderLabelDrop = 1;

LPCWSTR wide(const std::u16string& text) {
    return reinterpret_cast<LPCWSTR>(text.c_str());
}

}  // namespace

void selectDrawingTools(HDC dc, HFONT font) {
    SelectObject(dc, GetStockObject(DC_PEN));
    SelectObject(dc, GetStockObject(DC_BRUSH));
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
}

int textExtent(HDC dc, std::string_view text) {
    const std::u16string units = toUtf16(text);
    SIZE size = {};
    GetTextExtentPoint32W(dc, wide(units), static_cast<int>(units.size()), &size);
    return size.cx;
}

void fillBox(HDC dc, COLORREF colour, int left, int top, int right, int bottom) {
    SetDCPenColor(dc, colour);
    SetDCBrushColor(dc, colour);
    Rectangle(dc, left, top, right, bottom);
}

void drawHeaderBox(HDC dc, const Fonts& fonts, int left, int top, int right, int bottom,
                   COLORREF face, const char* label) {
    const int indent = scaleToDpi(kCellIndent, fonts.dpi());
    if (right - left < fonts.textWidth(label, FontIndex::Interface) + 2 * indent) return;
    fillBox(dc, face, left, top, right, bottom);
    SetDCPenColor(dc, kEdgeHighlightColour);
    MoveToEx(dc, left, bottom - 1, nullptr);
    LineTo(dc, left, top);
    LineTo(dc, right - 1, top);
    SetDCPenColor(dc, kEdgeShadowColour);
    MoveToEx(dc, left, bottom - 1, nullptr);
    LineTo(dc, right - 1, bottom - 1);
    LineTo(dc, right - 1, top - 1);
    drawText(dc, left + indent, top + scaleToDpi(kHeaderLabelDrop, fonts.dpi()), label);
}

void drawText(HDC dc, int x, int y, std::string_view text) {
    const std::u16string units = toUtf16(text);
    TextOutW(dc, x, y, wide(units), static_cast<int>(units.size()));
}

int drawMarkedText(HDC dc, const char* text, const uint8_t* attrs, int x, int top, int bottom,
                   int tabWidth) {
    // The whole text in UTF-16, its runs' ends, and one measurement of every
    // character's right edge: runs of any number cost one extent, and the
    // runs outside the clipping box are passed over, not drawn.
    std::u16string units;
    std::vector<std::pair<int, uint8_t>> runs;  // (end in units, attribute)
    std::string run;
    uint8_t attribute = 0;
    int column = 0;
    for (int at = 0, after;
         (after = nextRun(text, attrs, at, column, run, attribute, tabWidth)) != at; at = after) {
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
            if (runAttribute & kMarkBit) fillBox(dc, kMarkBoxColour, left, top, right, bottom);
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
    fitTextToWidth(text, attrs, maxWidth, [dc](const char* bytes, int length) {
        return textExtent(dc, std::string_view(bytes, length));
    });
}

}  // namespace tarvo
