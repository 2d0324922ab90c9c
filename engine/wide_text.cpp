#include "engine/wide_text.h"

#include <array>

namespace tarvo {

namespace {

// Windows-1252 at 0x80-0x9F, where it differs from Latin-1. The five bytes
// the code page leaves undefined map to the control character of the same
// number, as the system's conversion maps them.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t windows1252(uint8_t byte) {
    return (byte >= 0x80 && byte < 0xA0) ? kCp1252High[byte - 0x80] : byte;
}

bool isContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

DecodedCharacter decodeCharacter(const char* at, const char* end) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(at);
    const uint8_t lead = bytes[0];
    if (lead < 0x80) return {lead, 1};

    // The sequence's length, its lead byte's payload, and the range its
    // second byte must lie in: narrower than 80-BF where a wider one would
    // allow an overlong form (E0, F0), a surrogate (ED) or a code point
    // above U+10FFFF (F4).
    int32_t length = 0;
    char32_t codePoint = 0;
    uint8_t secondLow = 0x80, secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) secondLow = 0xA0;
        if (lead == 0xED) secondHigh = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        if (lead == 0xF0) secondLow = 0x90;
        if (lead == 0xF4) secondHigh = 0x8F;
    }
    if (length == 0 || end - at < length || bytes[1] < secondLow || bytes[1] > secondHigh)
        return {windows1252(lead), 1};
    for (int32_t i = 1; i < length; ++i) {
        if (!isContinuation(bytes[i])) return {windows1252(lead), 1};
        codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
    }
    return {codePoint, length};
}

// A character takes as many units as bytes or fewer (one unit for one to
// three bytes, two for four), so the bytes' count is room enough.
void appendUtf16(std::u16string& out, std::string_view text) {
    const size_t start = out.size();
    out.resize(start + text.size());
    char16_t* to = out.data() + start;
    const char* const end = text.data() + text.size();
    for (const char* at = text.data(); at < end;) {
        // ASCII, most of every path and line, one unit per byte.
        if (static_cast<uint8_t>(*at) < 0x80) {
            *to++ = static_cast<char16_t>(*at++);
            continue;
        }
        const DecodedCharacter c = decodeCharacter(at, end);
        if (c.codePoint < 0x10000) {
            *to++ = static_cast<char16_t>(c.codePoint);
        } else {
            const char32_t above = c.codePoint - 0x10000;
            *to++ = static_cast<char16_t>(0xD800 + (above >> 10));
            *to++ = static_cast<char16_t>(0xDC00 + (above & 0x3FF));
        }
        at += c.length;
    }
    out.resize(static_cast<size_t>(to - out.data()));
}

std::u16string toUtf16(std::string_view text) {
    std::u16string out;
    appendUtf16(out, text);
    return out;
}

}  // namespace tarvo
