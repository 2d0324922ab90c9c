#include "engine/text_encoding.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tarvo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// A unit alone gives at most three bytes; a surrogate pair, two units,
// gives four.
constexpr size_t kMostUtf8PerUnit = 3;

// Units of ASCII taken at once by asciiUnits.
constexpr size_t kAsciiRun = 8;

// Whether the kAsciiRun units at `units` are ASCII but NUL; if so, writes
// them at `out`. The units are 16-bit lanes of two 64-bit words (on a
// little-endian processor; elsewhere every unit takes the long way).
bool asciiUnits(const char* units, bool bigEndian, char* out) {
    if constexpr (std::endian::native != std::endian::little) return false;
    constexpr uint64_t kLowBytes = 0x00FF00FF00FF00FFu;
    constexpr uint64_t kAboveAscii = 0xFF80FF80FF80FF80u;
    constexpr uint64_t kOnes = 0x0001000100010001u;
    constexpr uint64_t kBit7 = 0x0080008000800080u;
    uint64_t words[2];
    std::memcpy(words, units, sizeof words);
    uint64_t packed = 0;
    for (int k = 0; k < 2; ++k) {
        uint64_t word = words[k];
        if (bigEndian) word = (word & kLowBytes) << 8 | (word >> 8 & kLowBytes);
        // Every lane below 0x80, and none 0: a lane of 0 borrows, setting its bit 7.
        if ((word & kAboveAscii) != 0 || ((word - kOnes) & kBit7) != 0) return false;
        // The lanes' low bytes side by side: b0 b1 _ _ b2 b3 _ _, then b0 b1 b2 b3.
        word = (word | word >> 8) & 0x0000FFFF0000FFFFu;
        packed |= ((word | word >> 16) & 0xFFFFFFFFu) << (32 * k);
    }
    std::memcpy(out, &packed, sizeof packed);
    return true;
}

size_t utf8Length(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

// Writes the UTF-8 of `c` at `out`; returns the end.
char* appendUtf8(char32_t c, char* out) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

TextMark textMark(std::string_view firstBytes) {
    if (firstBytes.starts_with("\xEF\xBB\xBF")) return TextMark::Utf8;
    if (firstBytes.starts_with("\xFF\xFE")) return TextMark::Utf16LittleEndian;
    if (firstBytes.starts_with("\xFE\xFF")) return TextMark::Utf16BigEndian;
    return TextMark::None;
}

int32_t textMarkLength(TextMark mark) {
    switch (mark) {
        case TextMark::None:
            return 0;
        case TextMark::Utf8:
            return 3;
        default:
            return 2;
    }
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string text;
    decodeUtf16(bytes, bigEndian, true, text);
    return text;
}

// Written through a pointer into room made up front: a UTF-16 text of many
// megabytes decodes at memory speed, most of it one byte per unit.
size_t decodeUtf16(std::string_view bytes, bool bigEndian, bool last, std::string& text,
                   size_t most) {
    const size_t units = bytes.size() / 2;
    const auto unitAt = [&](size_t i) -> char32_t {
        const uint8_t first = static_cast<uint8_t>(bytes[2 * i]);
        const uint8_t second = static_cast<uint8_t>(bytes[2 * i + 1]);
        return bigEndian ? first << 8 | second : second << 8 | first;
    };
    const size_t start = text.size();
    text.resize(start + units * kMostUtf8PerUnit + kMostUtf8PerUnit);  // and an odd last byte
    char* const begin = text.data() + start;
    char* out = begin;
    const auto fits = [&](char32_t c) {
        return utf8Length(c) <= most - static_cast<size_t>(out - begin);
    };
    size_t i = 0;
    for (; i < units; ++i) {
        // Runs of ASCII (most of a source file) kAsciiRun units at a time.
        for (size_t run = std::min(units - i, most - static_cast<size_t>(out - begin)) / kAsciiRun;
             run > 0 && asciiUnits(bytes.data() + 2 * i, bigEndian, out); --run) {
            out += kAsciiRun;
            i += kAsciiRun;
        }
        if (i == units) break;
        const char32_t unit = unitAt(i);
        char32_t c = unit;
        size_t pair = 0;  // 1 when the next unit is this one's partner
        if (unit < 0x80 && unit != 0) {
            if (static_cast<size_t>(out - begin) == most) break;
            *out++ = static_cast<char>(unit);
            continue;
        }
        if (isHighSurrogate(unit) && i + 1 < units && isLowSurrogate(unitAt(i + 1))) {
            c = 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00);
            pair = 1;
        } else if (isHighSurrogate(unit) && i + 1 == units && !last) {
            break;  // its partner may begin the next stretch
        } else if (unit == 0 || isHighSurrogate(unit) || isLowSurrogate(unit)) {
            c = kReplacement;
        }
        if (!fits(c)) break;
        out = appendUtf8(c, out);
        i += pair;
    }
    size_t taken = 2 * i;
    if (last && i == units && bytes.size() % 2 != 0 && fits(kReplacement)) {
        out = appendUtf8(kReplacement, out);
        taken = bytes.size();
    }
    text.resize(start + static_cast<size_t>(out - begin));
    return taken;
}

}  // namespace tarvo
