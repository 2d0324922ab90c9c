// The colour classes carried in the low bits of every attribute byte, and the
// fixed colours of every window: one table. Colours are COLORREF values, 0x00BBGGRR,
// so the window code hands them to GDI unchanged; the one colour that follows
// the system theme (selected text) is read by the caller and passed in.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/term_table.h"

namespace tarvo {

// The classes, held in the attribute bytes beside kMarkBit.
inline constexpr uint8_t kPlainText = 0;     // ordinary text
inline constexpr uint8_t kSelectedText = 1;  // the results list's selected row
inline constexpr uint8_t kGutterText = 2;    // the preview's line-number column
inline constexpr uint8_t kCommentText = 3;   // C/C++ comment
inline constexpr uint8_t kKeywordText = 4;   // C/C++ keyword or preprocessor directive

inline constexpr uint32_t kPlainColour = 0x00000000;    // black
inline constexpr uint32_t kGutterColour = 0x00C0C0C0;   // light grey
inline constexpr uint32_t kCommentColour = 0x00008000;  // green
inline constexpr uint32_t kKeywordColour = 0x00FF0000;  // blue
inline constexpr uint32_t kMarkBoxColour = 0x00A0FFFF;  // light yellow behind a term
inline constexpr uint32_t kWhite = 0x00FFFFFF;          // pane background
// The band behind the previewed result's line: not the list's selection
// colour, and unlike the terms' yellow.
inline constexpr uint32_t kResultLineColour = 0x00FAEDE1;
// The two lines of a header box's raised edge and of the main window's groove.
inline constexpr uint32_t kEdgeHighlightColour = 0x00FFFFFF;
inline constexpr uint32_t kEdgeShadowColour = 0x00808080;

// The class of an attribute byte: everything but the term mark.
inline constexpr uint8_t textClassOf(uint8_t attribute) {
    return attribute & ~kMarkBit;
}

// The text colour for a class, or nothing for a class outside the table:
// such a run keeps whatever colour the previous run set.
inline constexpr std::optional<uint32_t> classTextColour(uint8_t textClass,
                                                         uint32_t selectedTextColour) {
    switch (textClass) {
        case kPlainText:
            return kPlainColour;
        case kSelectedText:
            return selectedTextColour;
        case kGutterText:
            return kGutterColour;
        case kCommentText:
            return kCommentColour;
        case kKeywordText:
            return kKeywordColour;
        default:
            return std::nullopt;
    }
}

}  // namespace tarvo
