#include "engine/path_hash.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

TEST(PathHash, SeedMultiplierSignedBytesAndLimit) {
    EXPECT_EQ(pathHash("abc"), 669497117u);
    EXPECT_EQ(pathHash(""), 5381u);
    EXPECT_EQ(pathHash("\xff"), 5381u * 65599u - 1u);  // byte 255 adds -1
    EXPECT_EQ(pathHash("\x80"), 5381u * 65599u - 128u);
    EXPECT_EQ(pathHash("abcdef", 3), pathHash("abc"));
    // Longer texts, every length past the four-byte steps, against the
    // plain one-byte-at-a-time sum.
    std::string text;
    for (int length = 0; length < 40; ++length) {
        uint32_t plain = 5381;
        for (char c : text)
            plain = plain * 65599u +
                    static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(c)));
        EXPECT_EQ(pathHash(text.c_str()), plain) << "length " << length;
        EXPECT_EQ(pathHash((text + "tail").c_str(), length), plain) << "limit " << length;
        text += static_cast<char>((length * 37 + 200) % 255 + 1);  // never NUL
    }
    EXPECT_EQ(pathHash("ab", 10), pathHash("ab"));
    EXPECT_EQ(pathHash("abc", 0), 5381u);
    const std::string longText(1000001, 'a');
    EXPECT_EQ(pathHash(longText.c_str()), pathHash(longText.c_str(), 1000000));
    EXPECT_NE(pathHash(longText.c_str()), pathHash(longText.c_str(), 999999));
}

}  // namespace
}  // namespace tarvo
