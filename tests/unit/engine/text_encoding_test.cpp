#include "engine/text_encoding.h"
#include <gtest/gtest.h>

namespace tarvo {

using namespace std::string_literals;

// The mark a file begins with, and UTF-16 as UTF-8: line ends as they stand, a surrogate pair as
// one character, and U+FFFD for an odd last byte, a lone surrogate and U+0000.
TEST(TextEncoding, MarksAndUtf16Decoding) {
    const std::tuple<std::string, TextMark, std::string> rows[] = {
        {"", TextMark::None, ""},
        {"\xEF\xBB", TextMark::None, ""},
        {"\xEF\xBB\xBFx", TextMark::Utf8, ""},
        {"\xFE\xFE", TextMark::None, ""},
        {"\xFF\xFE"
         "a\0\r\0\n\0\xE9\0\n\0"s,
         TextMark::Utf16LittleEndian, "a\r\n\xC3\xA9\n"},
        {"\xFE\xFF\0a\0\n\x4E\x2D"s, TextMark::Utf16BigEndian, "a\n\xE4\xB8\xAD"},
        {"\xFF\xFE\x3D\xD8\x00\xDEz"s, TextMark::Utf16LittleEndian, "\xF0\x9F\x98\x80\xEF\xBF\xBD"},
        {"\xFE\xFF\xD8\x3D\0a\xDE\0\0\0\xD8\x3D"s, TextMark::Utf16BigEndian,
         "\xEF\xBF\xBD"
         "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xFF\xFE\xFF"s, TextMark::Utf16LittleEndian, "\xEF\xBF\xBD"},
        {"\xFF\xFE"s, TextMark::Utf16LittleEndian, ""}};
    for (const auto& [bytes, mark, text] : rows) {
        SCOPED_TRACE(::testing::PrintToString(bytes));
        EXPECT_EQ(textMark(bytes), mark);
        if (mark == TextMark::None || mark == TextMark::Utf8) continue;
        const std::string_view body = std::string_view(bytes).substr(textMarkLength(mark));
        EXPECT_EQ(utf16ToUtf8(body, mark == TextMark::Utf16BigEndian), text);
    }
}

}  // namespace tarvo
