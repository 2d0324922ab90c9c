#include "engine/path_hash.h"
#include <gtest/gtest.h>

namespace tarvo {

// The hash of each length against the plain sum of signed bytes.
TEST(PathHash, EveryLengthAndLimit) {
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
}

}  // namespace tarvo
