// The colour classes carried in the low bits of every attribute byte, and the
// fixed colours they are drawn in. Colours are COLORREF values, 0x00BBGGRR,
// so the window code hands them to GDI unchanged; the one colour that follows
// the system theme (selected text) is read by the caller and passed in.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/term_table.h"

namespace tarvo {

enum TextClass : uint8_t {
    Plain = 0,         // ordinary text
    SelectedText = 1,  // the results list's selected row
    Gutter = 2,        // the preview's line-number column
    Comment = 3,       // C/C++ comment
    Keyword = 4,       // C/C++ keyword or preprocessor directive
};

inline constexpr uint32_t kPlainColour = 0x00000000;    // black
inline constexpr uint32_t kGutterColour = 0x00C0C0C0;   // light grey
inline constexpr uint32_t kCommentColour = 0x00008000;  // green
inline constexpr uint32_t kKeywordColour = 0x00FF0000;  // blue
inline constexpr uint32_t kMarkBoxColour = 0x00A0FFFF;  // light yellow behind a term
inline constexpr uint32_t kWhite = 0x00FFFFFF;          // pane background

// The class of an attribute byte: everything but the term mark.
inline constexpr uint8_t textClassOf(uint8_t attribute) {
    return attribute & ~kMarkBit;
}

// The text colour for a class, or nothing for a class outside the table:
// such a run keeps whatever colour the previous run set.
inline constexpr std::optional<uint32_t> classTextColour(uint8_t textClass,
                                                         uint32_t selectedTextColour) {
    switch (textClass) {
        case Plain:
            return kPlainColour;
        case SelectedText:
            return selectedTextColour;
        case Gutter:
            return kGutterColour;
        case Comment:
            return kCommentColour;
        case Keyword:
            return kKeywordColour;
        default:
            return std::nullopt;
    }
}

}  // namespace tarvo
