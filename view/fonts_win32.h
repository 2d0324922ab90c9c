// The program's two fonts and the context that measures text in them: one
// object, owned by the window program and handed to every surface that
// draws or lays out text. Made once the main window's held context exists.
#pragma once

#include <windows.h>

#include <string_view>

namespace tarvo {

enum class FontIndex : int {
    Interface = 0,  // "Arial" 10 pt: boxes, labels, headers, status, results
    Preview = 1,    // "Courier New" 8 pt: the preview
};

class Fonts {
public:
    // Creates both fonts for the resolution of `measuringDc` and keeps that
    // context for textWidth. Called once, from the main window's creation.
    void create(HDC measuringDc);

    // Height plus external leading.
    int lineHeight(FontIndex font) const { return lineHeights_[static_cast<int>(font)]; }
    // The average, which is every character's in the preview's.
    int characterWidth(FontIndex font) const { return characterWidths_[static_cast<int>(font)]; }
    HFONT handle(FontIndex font) const { return fonts_[static_cast<int>(font)]; }
    // The width of a UTF-8 text as drawMarkedText draws it.
    int textWidth(std::string_view text, FontIndex font) const;

private:
    static constexpr int kFontCount = 2;

    HDC measuringDc_ = nullptr;  // the main window's, held for the program's life
    HFONT fonts_[kFontCount] = {};
    int lineHeights_[kFontCount] = {};
    int characterWidths_[kFontCount] = {};
};

}  // namespace tarvo
