#include "view/fonts_win32.h"

#include <cstdint>
#include <string>
#include <vector>

#include "view/marked_text.h"
#include "view/text_class.h"
#include "view/text_drawing_win32.h"

namespace tarvo {

namespace {

struct FontFace {
    const char* face;
    int points;
};
constexpr FontFace kFontFaces[] = {{"Arial", 10}, {"Courier New", 8}};

}  // namespace

std::array<HFONT, 2> Fonts::create(HDC dc, int dpi) {
    const std::array<HFONT, 2> old{fonts_[0], fonts_[1]};
    measuringDc_ = dc;
    dpi_ = dpi;
    for (int i = 0; i < kFontCount; ++i) {
        fonts_[i] = CreateFontA(-MulDiv(kFontFaces[i].points, dpi, 72), 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                0, 0, 0, kFontFaces[i].face);
        HGDIOBJ previous = SelectObject(dc, fonts_[i]);
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, previous);
        lineHeights_[i] = metrics.tmHeight + metrics.tmExternalLeading;
        characterWidths_[i] = metrics.tmAveCharWidth;
    }
    return old;
}

int Fonts::textWidth(std::string_view text, FontIndex font, int tabWidth) const {
    // Laid out as drawMarkedText draws it: tabs widened, line breaks as blanks.
    const std::string copy(text);
    const std::vector<uint8_t> plain(copy.size(), kPlainText);
    std::string drawn, run;
    uint8_t attribute = 0;
    int column = 0;
    for (int at = 0, after;
         (after = nextRun(copy.c_str(), plain.data(), at, column, run, attribute, tabWidth)) != at;
         at = after)
        drawn += run;
    HGDIOBJ previous = SelectObject(measuringDc_, handle(font));
    const int width = textExtent(measuringDc_, drawn);
    SelectObject(measuringDc_, previous);
    return width;
}

}  // namespace tarvo
