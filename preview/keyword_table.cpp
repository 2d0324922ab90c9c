#include "preview/keyword_table.h"

#include <algorithm>
#include <cstring>

#include "engine/path_hash.h"

namespace tarvo {

namespace {

std::array<uint32_t, kKeywordCount> hashKeywordTable() {
    std::array<uint32_t, kKeywordCount> hashes{};
    for (int i = 0; i < kKeywordCount; ++i) {
        hashes[i] =
            pathHash(kKeywordTable[i].data(), static_cast<int32_t>(kKeywordTable[i].size()));
    }
    return hashes;
}

}  // namespace

bool isKeyword(const char* token, int32_t length) {
    static const std::array<uint32_t, kKeywordCount> hashes = hashKeywordTable();
    // Count the bytes first so the hash never reads past a zero byte,
    // whatever pathHash does with a terminator inside its limit.
    int32_t bytes = static_cast<int32_t>(strnlen(token, length < 0 ? 0 : length));
    uint32_t hash = pathHash(token, bytes);
    return std::find(hashes.begin(), hashes.end(), hash) != hashes.end();
}

}  // namespace tarvo
