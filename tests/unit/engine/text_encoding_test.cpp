#include "engine/text_encoding.h"
#include <gtest/gtest.h>

namespace tarvo {

using namespace std::string_literals;

// A file's mark, and UTF-16 as UTF-8: U+FFFD for an odd last byte, a lone surrogate and U+0000;
// the same text decoded in stretches cut anywhere, and where eight-unit ASCII runs end.
TEST(TextEncoding, MarksAndUtf16Decoding) {
    const auto marked = [](std::u16string_view units, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : units) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    using namespace std::string_view_literals;
    const std::tuple<std::string, TextMark, std::string> rows[] = {
        {marked(u"abcdefghijklmnopq", false), TextMark::Utf16LittleEndian, "abcdefghijklmnopq"},
        {marked(u"abcde\0ghijklmnop"sv, false), TextMark::Utf16LittleEndian,
         "abcde\xEF\xBF\xBDghijklmnop"},
        {marked(u"abcde\u00E9g\u0100ijklmnop", true), TextMark::Utf16BigEndian,
         "abcde\xC3\xA9g\xC4\x80ijklmnop"},
        {marked(u"abcdefgh\u0080ijklmno", false), TextMark::Utf16LittleEndian,
         "abcdefgh\xC2\x80ijklmno"},
        {"", TextMark::None, ""},
        {"\xEF\xBB", TextMark::None, ""},
        {"\xEF\xBB\xBFx", TextMark::Utf8, ""},
        {"\xFE\xFE", TextMark::None, ""},
        {"\xFF\xFE\x61\0\r\0\n\0\xE9\0\n\0"s, TextMark::Utf16LittleEndian, "a\r\n\xC3\xA9\n"},
        {"\xFE\xFF\0a\0\n\x4E\x2D"s, TextMark::Utf16BigEndian, "a\n\xE4\xB8\xAD"},
        {"\xFF\xFE\x3D\xD8\x00\xDEz"s, TextMark::Utf16LittleEndian, "\xF0\x9F\x98\x80\xEF\xBF\xBD"},
        {"\xFE\xFF\xD8\x3D\0a\xDE\0\0\0\xD8\x3D"s, TextMark::Utf16BigEndian,
         "\xEF\xBF\xBD\x61\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xFF\xFE\xFF"s, TextMark::Utf16LittleEndian, "\xEF\xBF\xBD"},
        {"\xFF\xFE"s, TextMark::Utf16LittleEndian, ""}};
    for (const auto& [bytes, mark, text] : rows) {
        SCOPED_TRACE(::testing::PrintToString(bytes));
        EXPECT_EQ(textMark(bytes), mark);
        if (mark == TextMark::None || mark == TextMark::Utf8) continue;
        const std::string_view body = std::string_view(bytes).substr(textMarkLength(mark));
        const bool bigEndian = mark == TextMark::Utf16BigEndian;
        EXPECT_EQ(utf16ToUtf8(body, bigEndian), text);
        for (size_t cut = 0; cut <= body.size(); ++cut) {
            for (const size_t most : {size_t{4}, size_t{5}, size_t{6}, size_t{7}, SIZE_MAX}) {
                std::string stretches;
                for (size_t at = 0, end = cut; at < body.size();) {
                    if (end <= at) end = body.size();
                    const size_t taken = decodeUtf16(body.substr(at, end - at), bigEndian,
                                                     end == body.size(), stretches, most);
                    // A stretch too short to decode alone goes with the rest.
                    ASSERT_TRUE(taken > 0 || end < body.size()) << "cut " << cut;
                    at += taken;
                    if (taken == 0) end = body.size();
                }
                EXPECT_EQ(stretches, text) << "cut " << cut << ", most " << most;
            }
        }
    }
}

}  // namespace tarvo
