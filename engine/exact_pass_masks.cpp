#include "engine/exact_pass_masks.h"

#include <bit>

#include "engine/vector_bytes.h"

namespace tarvo {

namespace {

bool isLetter(uint8_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Term starts by firstChar_, one byte at a time.
uint64_t termStartsByTable(const char* at, const std::array<uint8_t, 256>& firstChar) {
    uint64_t starts = 0;
    for (int32_t i = 0; i < kScanBlock; ++i)
        starts |= static_cast<uint64_t>(firstChar[static_cast<uint8_t>(at[i])]) << i;
    return starts;
}

}  // namespace

ExactPassMasks::ByteTest ExactPassMasks::testFor(uint8_t c) {
    const bool letter = isLetter(c);
    return {static_cast<uint8_t>(letter ? 0x20 : 0), static_cast<uint8_t>(letter ? (c | 0x20) : c)};
}

ExactPassMasks::ExactPassMasks() {
    setWide(true);
}

void ExactPassMasks::setWide(bool wide) {
    wide_ = wide && vectors::processorHasAvx2();
}

// A probe per distinct start of the terms (their first bytes), letters
// taken in both cases, so every occurrence of every term sets its bit.
void ExactPassMasks::prepare(const TermTable& terms) {
    for (int c = 0; c < 256; ++c)
        firstChar_[c] = terms.isFirstChar(static_cast<uint8_t>(c)) ? 1 : 0;

    bool anyEmpty = false;
    for (int32_t t = 0; t < terms.count(); ++t)
        anyEmpty = anyEmpty || terms.term(t).length == 0;

    // Three bytes per term where the terms allow, so a common pair such as
    // "in" stops no block for "int"; two where three would need too many
    // probes.
    struct Key {
        std::array<uint8_t, 3> bytes;
        int32_t length;
    };
    std::array<Key, kMaxTermProbes> keys;
    int32_t count = 0;
    for (int32_t depth = 3; depth >= 1; --depth) {
        count = 0;
        bool tooMany = false;
        for (int32_t t = 0; t < terms.count() && !tooMany; ++t) {
            const QueryTerm& term = terms.term(t);
            // An empty term occurs wherever firstChar_ is set (byte 0
            // among them): then every probe tests first bytes only.
            Key key = {{}, anyEmpty ? 1 : std::max(1, std::min(depth, term.length))};
            for (int32_t k = 0; k < key.length; ++k)
                key.bytes[k] = foldAscii(static_cast<uint8_t>(term.text[k]));
            bool known = false;
            for (int32_t i = 0; i < count; ++i)
                known = known || (keys[i].length == key.length && keys[i].bytes == key.bytes);
            if (known) continue;
            tooMany = count == kMaxTermProbes;
            if (!tooMany) keys[count++] = key;
        }
        byTable_ = tooMany;
        if (!tooMany) break;
    }

    startTestCount_ = byTable_ ? 0 : count;
    for (int32_t i = 0; i < startTestCount_; ++i) {
        startTests_[i] = {testFor(keys[i].bytes[0]), testFor(keys[i].bytes[1]),
                          testFor(keys[i].bytes[2]), keys[i].length};
    }
}

// ---------------------------------------------------------------------------
// The masks, one body for both instruction sets
// ---------------------------------------------------------------------------

namespace {

using namespace vectors;

// ExactPassMasks::ByteTest over a whole vector: (bytes | caseBit) == value.
struct VectorTest {
    Bytes caseBit, value;
};

// Most blocks of text hold nothing but line feeds, so the other three masks
// are first tested together and taken apart only when one is set.
template <Width kWidth>
[[gnu::always_inline]] inline void blockMasks(const ExactPassMasks::StartTest* starts,
                                              int32_t count, bool byTable,
                                              const std::array<uint8_t, 256>& firstChar,
                                              const char* at, int32_t blocks, bool commentMarks,
                                              BlockMasks* masks) {
    VectorTest first[kMaxTermProbes], second[kMaxTermProbes], third[kMaxTermProbes];
    for (int32_t i = 0; i < count; ++i) {
        splat(first[i].caseBit, starts[i].first.caseBit);
        splat(first[i].value, starts[i].first.value);
        splat(second[i].caseBit, starts[i].second.caseBit);
        splat(second[i].value, starts[i].second.value);
        splat(third[i].caseBit, starts[i].third.caseBit);
        splat(third[i].value, starts[i].third.value);
    }
    Bytes lineFeed, slash, star;
    splat(lineFeed, '\n');
    splat(slash, '/');
    splat(star, '*');
    for (int32_t b = 0; b < blocks; ++b, at += kScanBlock) {
        // Each half of the block, and the same bytes one and two places on.
        Bytes here[2], next[2], after[2];
        for (int h = 0; h < 2; ++h) {
            load(here[h], at + kVector * h);
            load(next[h], at + kVector * h + 1);
            load(after[h], at + kVector * h + 2);
        }
        BlockMasks& out = masks[b];
        out = {};
        out.lineFeeds = bitsOf<kWidth>(here[0] == lineFeed, here[1] == lineFeed);
        out.lineFeedCount = std::popcount(out.lineFeeds);  // one instruction in the AVX2 copy

        Lanes terms[2] = {}, nuls[2], marks[2];
        for (int32_t i = 0; i < count; ++i) {
            for (int h = 0; h < 2; ++h) {
                Lanes hit = (here[h] | first[i].caseBit) == first[i].value;
                if (starts[i].length > 1) hit &= (next[h] | second[i].caseBit) == second[i].value;
                if (starts[i].length > 2) hit &= (after[h] | third[i].caseBit) == third[i].value;
                terms[h] |= hit;
            }
        }
        for (int h = 0; h < 2; ++h) {
            nuls[h] = here[h] == 0;
            marks[h] = Lanes{};
            if (commentMarks)
                marks[h] = ((here[h] == slash) & (next[h] == star)) |
                           ((here[h] == star) & (next[h] == slash));
        }
        if (byTable) out.termStarts = termStartsByTable(at, firstChar);
        if (!anySet<kWidth>(nuls[0] | nuls[1] | marks[0] | marks[1] | terms[0] | terms[1]))
            continue;
        out.nuls = bitsOf<kWidth>(nuls[0], nuls[1]);
        out.commentMarks = bitsOf<kWidth>(marks[0], marks[1]);
        if (!byTable) out.termStarts = bitsOf<kWidth>(terms[0], terms[1]);
    }
}

}  // namespace

void ExactPassMasks::masksNarrow(const char* at, int32_t blocks, bool commentMarks,
                                 BlockMasks* masks) const {
    blockMasks<Width::Sse2>(startTests_.data(), startTestCount_, byTable_, firstChar_, at, blocks,
                            commentMarks, masks);
}

TARVO_AVX2 void ExactPassMasks::masksWide(const char* at, int32_t blocks, bool commentMarks,
                                          BlockMasks* masks) const {
    blockMasks<Width::Avx2>(startTests_.data(), startTestCount_, byTable_, firstChar_, at, blocks,
                            commentMarks, masks);
}

}  // namespace tarvo
