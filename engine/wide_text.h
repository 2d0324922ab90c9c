// The one place text changes form on its way to Windows. Text is UTF-8
// everywhere inside; the ANSI calls would read it in the system's code page,
// which is not always the manifest's UTF-8 one (GDI never follows the
// manifest, and Windows before 10 1903 ignores it), so the drawing
// primitives hand GDI UTF-16 made here, and so does the file system's
// boundary (system_path.h).
//
// Files are not always UTF-8: a byte that does not begin a valid UTF-8
// sequence (a Latin-1 line, a character cut in two) stands alone and shows
// as its Windows-1252 character, as the system's own code page would show
// it, so no byte is ever lost or drawn as a replacement box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

// One character of a text: its code point and the bytes it takes (1 to 4).
struct DecodedCharacter {
    char32_t codePoint = 0;
    int32_t length = 1;
};

// The character at `at`, reading no byte at or after `end` (at < end). A
// well-formed UTF-8 sequence (no overlong form, no surrogate, nothing above
// U+10FFFF) gives its code point; any other byte gives its Windows-1252
// character and a length of 1.
DecodedCharacter decodeCharacter(const char* at, const char* end);

// The UTF-16 form of a text, character by character as decodeCharacter reads it.
std::u16string toUtf16(std::string_view text);
void appendUtf16(std::u16string& out, std::string_view text);

}  // namespace tarvo
