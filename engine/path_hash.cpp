#include "engine/path_hash.h"

#include <cstring>

namespace tarvo {

namespace {

constexpr int32_t kHashedBytesLimit = 1000000;  // bounds the walk when no limit is given

}  // namespace

uint32_t pathHash(const char* text, int32_t limit) {
    if (text == nullptr) return pathHash(std::string_view());
    return pathHash(std::string_view(
        text, strnlen(text, static_cast<size_t>(limit >= 0 ? limit : kHashedBytesLimit))));
}

uint32_t pathHash(std::string_view text) {
    // The byte counts as signed: 128..255 add -128..-1 (modulo 2^32).
    auto value = [](char c) {
        return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(c)));
    };
    // Four bytes per step, the same sum regrouped: h x 65599^4 + b0 x 65599^3
    // + b1 x 65599^2 + b2 x 65599 + b3, every product modulo 2^32.
    constexpr uint32_t m1 = 65599u;
    constexpr uint32_t m2 = m1 * m1;
    constexpr uint32_t m3 = m2 * m1;
    constexpr uint32_t m4 = m3 * m1;
    uint32_t h = 5381;
    size_t i = 0;
    for (; i + 4 <= text.size(); i += 4) {
        h = h * m4 + value(text[i]) * m3 + value(text[i + 1]) * m2 + value(text[i + 2]) * m1 +
            value(text[i + 3]);
    }
    for (; i < text.size(); ++i)
        h = h * m1 + value(text[i]);
    return h;
}

}  // namespace tarvo
