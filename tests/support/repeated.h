// A text written `count` times over.
#pragma once
#include <string>
#include <string_view>

namespace tarvo::testing {
inline std::string repeated(int count, std::string_view text) {
    std::string out;
    while (count-- > 0)
        out += text;
    return out;
}
}  // namespace tarvo::testing
