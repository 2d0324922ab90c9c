#include "engine/text_encoding.h"

namespace tarvo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
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
    const size_t units = bytes.size() / 2;
    const auto unitAt = [&](size_t i) -> char32_t {
        const uint8_t first = static_cast<uint8_t>(bytes[2 * i]);
        const uint8_t second = static_cast<uint8_t>(bytes[2 * i + 1]);
        return bigEndian ? first << 8 | second : second << 8 | first;
    };
    std::string text;
    text.reserve(units * 3 / 2 + 3);  // mostly ASCII or two-byte characters
    for (size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (isHighSurrogate(unit) && i + 1 < units && isLowSurrogate(unitAt(i + 1))) {
            appendUtf8(0x10000 + ((unit - 0xD800) << 10) + (unitAt(++i) - 0xDC00), text);
        } else if (unit == 0 || isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendUtf8(kReplacement, text);
        } else {
            appendUtf8(unit, text);
        }
    }
    if (bytes.size() % 2 != 0) appendUtf8(kReplacement, text);
    return text;
}

}  // namespace tarvo
