// How the bytes of a file become the text that is searched, shown and
// printed. Most files are taken byte for byte. A file that begins with a
// UTF-16 byte-order mark is text whatever Skip Binary Files says: it is
// decoded to UTF-8, so its terms match, its lines are numbered as an editor
// numbers them (CR LF or LF) and it prints as UTF-8. A UTF-8 byte-order mark
// is left out, so it is no part of line 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

enum class TextMark { None, Utf8, Utf16LittleEndian, Utf16BigEndian };

// The longest byte-order mark, the UTF-8 one.
inline constexpr int32_t kLongestTextMark = 3;

// The mark a file's first bytes begin with (given at least the first
// kLongestTextMark of them, or the whole file when shorter).
TextMark textMark(std::string_view firstBytes);

// The bytes the mark takes at the file's start.
int32_t textMarkLength(TextMark mark);

// UTF-16 text (its mark left off) as UTF-8, decoded leniently: a last odd
// byte, a surrogate without its partner and U+0000 (which would make the
// text binary) each become U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);

// The same decoding a stretch at a time, for a text too large to hold:
// appends to `text` the UTF-8 of `bytes`, a stretch that begins at a code
// unit of the text, and returns how many of them it took. Unless `last`
// (the text ends with the stretch), it leaves a last odd byte, and a last
// high surrogate whose partner may follow, to the next stretch, so the
// stretches give what the whole would. It appends at most `most` bytes,
// ending before the first character that would not fit.
size_t decodeUtf16(std::string_view bytes, bool bigEndian, bool last, std::string& text,
                   size_t most = SIZE_MAX);

}  // namespace tarvo
