#include "engine/scan_blocks.h"

namespace tarvo {

namespace {

bool isLetter(uint8_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

// A probe per distinct (first byte, second byte) of the terms, letters
// taken in both cases, so every occurrence of every term sets its bit. An
// empty term occurs wherever the FirstCharTable is set, so with one the
// probes test first bytes only, and byte 0 among them.
void BlockScanner::prepare(const TermTable& terms) {
    for (int c = 0; c < 256; ++c)
        firstChar_[c] = terms.isFirstChar(static_cast<uint8_t>(c)) ? 1 : 0;

    bool anyEmpty = false;
    for (int32_t t = 0; t < terms.count(); ++t)
        anyEmpty = anyEmpty || terms.term(t).length == 0;

    struct Key {
        uint8_t first;
        int32_t second;  // -1: none
    };
    std::array<Key, kMaxTermProbes> keys;
    int32_t count = 0;
    bool tooMany = false;
    auto add = [&](uint8_t first, int32_t second) {
        first = foldAscii(first);
        if (second >= 0) second = foldAscii(static_cast<uint8_t>(second));
        for (int32_t i = 0; i < count; ++i) {
            if (keys[i].first == first && keys[i].second == second) return;
        }
        if (count == kMaxTermProbes) {
            tooMany = true;
            return;
        }
        keys[count++] = {first, second};
    };
    for (int32_t t = 0; t < terms.count(); ++t) {
        const QueryTerm& term = terms.term(t);
        const uint8_t first = static_cast<uint8_t>(term.text[0]);  // 0 for an empty term
        if (term.length >= 2 && !anyEmpty) {
            add(first, static_cast<uint8_t>(term.text[1]));
        } else {
            add(first, -1);
        }
    }

    auto test = [](uint8_t c) {
        const bool letter = isLetter(c);
        return ByteTest{_mm_set1_epi8(static_cast<char>(letter ? 0x20 : 0)),
                        _mm_set1_epi8(static_cast<char>(letter ? (c | 0x20) : c))};
    };
    byTable_ = tooMany;
    probeCount_ = tooMany ? 0 : count;
    for (int32_t i = 0; i < probeCount_; ++i) {
        const bool pair = keys[i].second >= 0;
        probes_[i] = {test(keys[i].first), test(pair ? static_cast<uint8_t>(keys[i].second) : 0),
                      pair};
    }
}

}  // namespace tarvo
