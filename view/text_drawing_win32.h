// The GDI drawing every painted surface uses: measuring, boxes, the raised
// header box, and text whose bytes carry attribute bytes (colour class and
// term mark). The rules (runs, tab expansion, shortening) are in
// marked_text.h; this file only issues the GDI calls, always the wide ones,
// over UTF-16 converted from the UTF-8 text at this boundary (engine/wide_text.h).
//
// Every surface starts its paint with selectDrawingTools: the functions below
// colour their boxes with SetDCPenColor / SetDCBrushColor and draw text
// without a ground.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class Fonts;

// The stock DC pen and DC brush, `font`, and text without a background.
void selectDrawingTools(HDC dc, HFONT font);

// The width of UTF-8 text in the font selected into `dc`, its bytes drawn as
// they are (no tab expansion).
int textExtent(HDC dc, std::string_view text);

// A box outlined and filled in one colour; right and bottom exclusive.
void fillBox(HDC dc, COLORREF colour, int left, int top, int right, int bottom);

// A raised box filled with `face`, its label 5 pixels in (at 96 DPI,
// scaled to the fonts' DPI); nothing at all when the box is narrower than
// the label (in the interface font) and that indent on either side.
void drawHeaderBox(HDC dc, const Fonts& fonts, int left, int top, int right, int bottom,
                   COLORREF face, const char* label);

// UTF-8 text at (x, y) in the selected font and text colour.
void drawText(HDC dc, int x, int y, std::string_view text);

// One text output per run of equal attribute bytes, from x on, marked runs
// on a light-yellow box exactly as wide as their text; tab stops, tabWidth
// columns apart, count from x. Not clipped: the text runs on past the
// caller's cell and the window clips it. Returns the x after the text.
int drawMarkedText(HDC dc, const char* text, const uint8_t* attrs, int x, int top, int bottom,
                   int tabWidth);

// Shortens text and attributes with "..." until they fit maxWidth pixels in
// the font selected into `dc`.
void fitTextToWidth(HDC dc, std::string& text, std::vector<uint8_t>& attrs, int maxWidth);

}  // namespace tarvo
