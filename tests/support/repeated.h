// Texts the suites build: one written `count` times over, and Latin-1 text as UTF-16 units.
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
// Each byte a unit of its own, without a mark.
inline std::string utf16(std::string_view latin1, bool bigEndian = false) {
    std::string units;
    for (const char c : latin1)
        units += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return units;
}
}  // namespace tarvo::testing
