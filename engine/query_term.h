// One query term as the Find text gives it, and the limits every table of
// terms keeps.
#pragma once

#include <cstdint>

namespace tarvo {

inline constexpr int kMaxTerms = 100;       // surplus terms are ignored
inline constexpr int kMaxTermLength = 100;  // a longer word is split into terms

// Only A-Z fold; every other byte compares unchanged.
inline constexpr uint8_t foldAscii(uint8_t c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

struct QueryTerm {
    char text[kMaxTermLength + 1] = {};  // escapes resolved, case as typed; never a NUL
    int32_t length = 0;                  // may be 0: an empty term
};

}  // namespace tarvo
