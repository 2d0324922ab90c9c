// The program's two fonts and the GDI drawing every painted surface uses:
// measuring, the raised header box, and text whose bytes carry attribute
// bytes (colour class and term mark). The rules (runs, tab expansion,
// shortening) are in marked_text.h; this file only issues the GDI calls,
// always the wide ones, over UTF-16 converted from the UTF-8 text at this
// boundary (wide_text.h).
//
// Callers of drawHeaderBox and drawMarkedText select the stock DC pen and DC
// brush and set the background mode to TRANSPARENT first: both colour their
// boxes with SetDCPenColor / SetDCBrushColor and draw text without a ground.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

enum FontIndex : int {
    InterfaceFont = 0,  // "Arial" 10 pt: boxes, labels, headers, status, results
    PreviewFont = 1,    // "Courier New" 8 pt: the preview
};

// Creates both fonts for the resolution of `measuringDc` and keeps that
// context for textWidth. Called once, from the main window's creation.
void createFonts(HDC measuringDc);
int lineHeight(int font);      // text height plus external leading
int characterWidth(int font);  // the average, which is every character's in the preview's
HFONT fontHandle(int font);
// The width of a UTF-8 text as drawMarkedText draws it, in font 0 or 1.
int textWidth(std::string_view text, int font);

// A raised box filled with `face`, its label 5 pixels in; nothing at all
// when the box is narrower than the label (in the interface font) plus 10.
void drawHeaderBox(HDC dc, int left, int top, int right, int bottom, COLORREF face,
                   const char* label);

// UTF-8 text at (x, y) in the selected font and text colour.
void drawText(HDC dc, int x, int y, std::string_view text);

// One text output per run of equal attribute bytes, from x on, marked runs
// on a light-yellow box exactly as wide as their text; tab stops count from
// x. Not clipped: the text runs on past the caller's cell and the window
// clips it. Returns the x after the text.
int drawMarkedText(HDC dc, const char* text, const uint8_t* attrs, int x, int top, int bottom);

// Shortens text and attributes with "..." until they fit maxWidth pixels in
// the font selected into `dc`.
void fitTextToWidth(HDC dc, std::string& text, std::vector<uint8_t>& attrs, int maxWidth);

}  // namespace tarvo
