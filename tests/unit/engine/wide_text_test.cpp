#include "engine/wide_text.h"
#include <gtest/gtest.h>

namespace tarvo {

// UTF-8 as UTF-16; each byte of an ill-formed sequence (cut, overlong, a surrogate, past
// U+10FFFF, Latin-1) is its Windows-1252 character.
TEST(WideText, Utf8ToUtf16WithWindows1252ForOtherBytes) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"", u""},
        {"E:\\J\xc3\xbcrgen\\caf\xc3\xa9.c", u"E:\\J\u00fcrgen\\caf\u00e9.c"},
        {"\xd0\x96 \xe6\x97\xa5\xe6\x9c\xac", u"\u0416 \u65e5\u672c"},
        {"\xf0\x9f\x98\x80!", u"\xd83d\xde00!"},
        {"\xef\xbf\xbf\xf4\x8f\xbf\xbf", u"\uffff\xdbff\xdfff"},
        {"caf\xe9 na\xefve \xa9", u"caf\u00e9 na\u00efve \u00a9"},
        {"\x80\x81\x8d\x9f\xff", u"\u20ac\u0081\u008d\u0178\u00ff"},
        {"\xe6\x97", u"\u00e6\u2014"},
        {"\xc0\xaf\xe0\x80\xaf", u"\u00c0\u00af\u00e0\u20ac\u00af"},
        {"\xed\xa0\x80", u"\u00ed\u00a0\u20ac"},
        {"\xf4\x90\x80\x80", u"\u00f4\u0090\u20ac\u20ac"},
        {"\xc3(\xbc", u"\u00c3(\u00bc"}};
    for (const auto& [text, wide] : cases)
        EXPECT_EQ(toUtf16(text), wide) << text;
}

}  // namespace tarvo
