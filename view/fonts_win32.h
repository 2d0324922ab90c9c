// The program's two fonts and the context that measures text in them: one
// object, owned by the window program and handed to every surface that
// draws or lays out text. Made once the main window's held context exists,
// for the DPI of the screen the window is on, and made again when the
// window moves to a screen of another DPI.
#pragma once

#include <windows.h>

#include <array>
#include <string_view>

#include "view/marked_text.h"

namespace tarvo {

enum class FontIndex : int {
    Interface = 0,  // "Arial" 10 pt: boxes, labels, headers, status, results
    Preview = 1,    // "Courier New" 8 pt: the preview
};

class Fonts {
public:
    // Creates both fonts for `dpi` and keeps `measuringDc` for textWidth.
    // Called from the main window's creation, and again for a new DPI: the
    // fonts made before are handed back (null the first time), to be
    // deleted once no window or context holds them.
    std::array<HFONT, 2> create(HDC measuringDc, int dpi);

    // The DPI the fonts were made for: every fixed size drawn with them is
    // scaled to it.
    int dpi() const { return dpi_; }

    // Height plus external leading.
    int lineHeight(FontIndex font) const { return lineHeights_[static_cast<int>(font)]; }
    // The average, which is every character's in the preview's.
    int characterWidth(FontIndex font) const { return characterWidths_[static_cast<int>(font)]; }
    HFONT handle(FontIndex font) const { return fonts_[static_cast<int>(font)]; }
    // The width of a UTF-8 text as drawMarkedText draws it, tabs to stops
    // `tabWidth` columns apart.
    int textWidth(std::string_view text, FontIndex font, int tabWidth = kDefaultTabWidth) const;

private:
    static constexpr int kFontCount = 2;

    HDC measuringDc_ = nullptr;  // the main window's, held for the program's life
    int dpi_ = 96;
    HFONT fonts_[kFontCount] = {};
    int lineHeights_[kFontCount] = {};
    int characterWidths_[kFontCount] = {};
};

}  // namespace tarvo
