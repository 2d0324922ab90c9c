#include "engine/probe_pass_filter.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/vector_bytes.h"

namespace tarvo {

namespace {

// Bytes of source code from the most to the least frequent, letters folded
// (counted over a large C tree); every byte not listed is rarer than all
// listed ones. Only the order matters.
constexpr char kByteFrequencyOrder[] =
    " etis\tr_an\nocdlpumf0,hgx;b-)(*v=k1y>/2w.\"34#6{}8<:&5q7\\9z|+[]%!j@`'";

// Larger for a rarer byte.
int32_t rarity(uint8_t c) {
    constexpr int32_t listed = sizeof kByteFrequencyOrder - 1;
    const void* found = std::memchr(kByteFrequencyOrder, foldAscii(c), listed);
    return found ? static_cast<int32_t>(static_cast<const char*>(found) - kByteFrequencyOrder)
                 : listed;
}

// The offset of the rarest byte of the term other than `skip` (-1: none);
// the first of equally rare ones.
int32_t rarestByteAt(const QueryTerm& term, int32_t skip) {
    int32_t best = -1;
    for (int32_t k = 0; k < term.length; ++k) {
        if (k == skip) continue;
        if (best < 0 || rarity(static_cast<uint8_t>(term.text[k])) >
                            rarity(static_cast<uint8_t>(term.text[best])))
            best = k;
    }
    return best;
}

using namespace vectors;

// A block adds at most 2 to a count lane: flushed before one could wrap.
constexpr int32_t kBlocksPerFlush = 127;

// kCount: the number of probes when known at compile time (the compiler
// then keeps every compared value in a register), 0 when given by `count`.
// kTests: the byte tests of each probe that count (2 or 3).
template <Width kWidth, int32_t kCount, int32_t kTests>
[[gnu::always_inline]] inline int32_t filterBlocks(const ProbePassFilter::Probe* probes,
                                                   int32_t count, const char* at, int32_t length,
                                                   bool findNuls, int64_t* lineFeeds,
                                                   ProbeHits* hits) {
    if (kCount > 0) count = kCount;
    Bytes testCase[kMaxTermProbes][kTests], testValue[kMaxTermProbes][kTests];
    for (int32_t i = 0; i < count; ++i) {
        for (int32_t j = 0; j < kTests; ++j) {
            splat(testCase[i][j], probes[i].tests[j].caseBit);
            splat(testValue[i][j], probes[i].tests[j].value);
        }
    }
    const Lanes nulKeep = findNuls ? Lanes{} == Lanes{} : Lanes{};  // all ones or none
    Bytes lineFeed;
    splat(lineFeed, '\n');

    *hits = {};
    Bytes counts = {};  // unsigned: a lane counts up to 254
    int32_t pending = 0;
    int32_t pos = 0;
    while (pos < length) {
        const char* block = at + pos;
        Bytes low, high;
        load(low, block);
        load(high, block + kVector);
        const Lanes lowFeeds = low == lineFeed, highFeeds = high == lineFeed;
        const Lanes lowNuls = (low == 0) & nulKeep, highNuls = (high == 0) & nulKeep;
        Lanes lowStarts = {}, highStarts = {};
        for (int32_t i = 0; i < count; ++i) {
            Lanes low = Lanes{} == Lanes{}, high = low;  // all ones
            for (int32_t j = 0; j < kTests; ++j) {
                Bytes bytes[2];
                load(bytes[0], block + probes[i].at[j]);
                load(bytes[1], block + probes[i].at[j] + kVector);
                low &= (bytes[0] | testCase[i][j]) == testValue[i][j];
                high &= (bytes[1] | testCase[i][j]) == testValue[i][j];
            }
            lowStarts |= low;
            highStarts |= high;
        }
        const int32_t left = length - pos;
        if (left < kScanBlock) {  // the last block, cut at `length`
            const uint64_t inSpan = (uint64_t{1} << left) - 1;
            const uint64_t feeds = bitsOf<kWidth>(lowFeeds, highFeeds) & inSpan;
            *lineFeeds += std::popcount(feeds);
            const uint64_t nuls = bitsOf<kWidth>(lowNuls, highNuls) & inSpan;
            const uint64_t starts = bitsOf<kWidth>(lowStarts, highStarts) & inSpan;
            if ((nuls | starts) != 0) *hits = {pos, nuls, starts, feeds};
            pos = length;
            break;
        }
        counts -= reinterpret_cast<const Bytes&>(lowFeeds);  // a set lane is 255: one more
        counts -= reinterpret_cast<const Bytes&>(highFeeds);
        if (++pending == kBlocksPerFlush) {
            *lineFeeds += laneSum(counts);
            counts = Bytes{};
            pending = 0;
        }
        pos += kScanBlock;
        if (anySet<kWidth>(lowNuls | highNuls | lowStarts | highStarts)) {
            *hits = {pos - kScanBlock, bitsOf<kWidth>(lowNuls, highNuls),
                     bitsOf<kWidth>(lowStarts, highStarts), bitsOf<kWidth>(lowFeeds, highFeeds)};
            break;
        }
    }
    *lineFeeds += laneSum(counts);
    return pos;
}

template <Width kWidth, int32_t kTests>
[[gnu::always_inline]] inline int32_t scanCounted(const ProbePassFilter::Probe* probes,
                                                  int32_t count, const char* at, int32_t length,
                                                  bool findNuls, int64_t* lineFeeds,
                                                  ProbeHits* hits) {
    switch (count) {
        case 1:
            return filterBlocks<kWidth, 1, kTests>(probes, count, at, length, findNuls, lineFeeds,
                                                   hits);
        case 2:
            return filterBlocks<kWidth, 2, kTests>(probes, count, at, length, findNuls, lineFeeds,
                                                   hits);
        case 3:
            return filterBlocks<kWidth, 3, kTests>(probes, count, at, length, findNuls, lineFeeds,
                                                   hits);
        default:
            return filterBlocks<kWidth, 0, kTests>(probes, count, at, length, findNuls, lineFeeds,
                                                   hits);
    }
}

// One, two and three probes are what people type most.
template <Width kWidth>
[[gnu::always_inline]] inline int32_t scanAny(const ProbePassFilter::Probe* probes, int32_t count,
                                              int32_t tests, const char* at, int32_t length,
                                              bool findNuls, int64_t* lineFeeds, ProbeHits* hits) {
    return tests == 2
               ? scanCounted<kWidth, 2>(probes, count, at, length, findNuls, lineFeeds, hits)
               : scanCounted<kWidth, 3>(probes, count, at, length, findNuls, lineFeeds, hits);
}

}  // namespace

ProbePassFilter::ProbePassFilter() {
    setWide(true);
}

void ProbePassFilter::setWide(bool wide) {
    wide_ = wide && vectors::processorHasAvx2();
}

void ProbePassFilter::setTerms(const TermTable& terms) {
    termCount_ = terms.count();
    for (int32_t t = 0; t < termCount_; ++t) {
        const QueryTerm& term = terms.term(t);
        if (term.length == 0) {
            termProbes_[t].term = -1;
            continue;
        }
        const int32_t rarestAt = rarestByteAt(term, -1);
        const int32_t other = rarestByteAt(term, rarestAt);
        const int32_t secondAt = other < 0 ? rarestAt : other;
        const ExactPassMasks::ByteTest rarest =
            ExactPassMasks::testFor(static_cast<uint8_t>(term.text[rarestAt]));
        const ExactPassMasks::ByteTest second =
            ExactPassMasks::testFor(static_cast<uint8_t>(term.text[secondAt]));
        termProbes_[t] = {{rarest, second, second}, {rarestAt, secondAt, secondAt}, t};
    }
    count_ = 0;
}

void ProbePassFilter::prepare(const TermSet& wanted) {
    tests_ = 2;
    count_ = 0;
    for (int32_t t = 0; t < termCount_ && count_ < kMaxTermProbes; ++t) {
        if (wanted.has(t) && termProbes_[t].term >= 0) probes_[count_++] = termProbes_[t];
    }
}

bool ProbePassFilter::prepareStarts(const ExactPassMasks& blocks) {
    tests_ = 3;
    count_ = blocks.startTestCount();
    for (int32_t i = 0; i < count_; ++i) {
        const ExactPassMasks::StartTest& start = blocks.startTest(i);
        const ExactPassMasks::ByteTest tests[] = {start.first, start.second, start.third};
        Probe& probe = probes_[i];
        probe.term = -1;
        for (int32_t j = 0; j < 3; ++j) {
            const int32_t k = std::min(j, start.length - 1);
            probe.tests[j] = tests[k];
            probe.at[j] = k;
        }
    }
    return count_ > 0;
}

void ProbePassFilter::drop(int32_t term) {
    for (int32_t i = 0; i < count_; ++i) {
        if (probes_[i].term == term) {
            probes_[i] = probes_[--count_];
            return;
        }
    }
}

int32_t ProbePassFilter::scanNarrow(const char* at, int32_t length, bool findNuls,
                                    int64_t* lineFeeds, ProbeHits* hits) const {
    return scanAny<Width::Sse2>(probes_.data(), count_, tests_, at, length, findNuls, lineFeeds,
                                hits);
}

TARVO_AVX2 int32_t ProbePassFilter::scanWide(const char* at, int32_t length, bool findNuls,
                                             int64_t* lineFeeds, ProbeHits* hits) const {
    return scanAny<Width::Avx2>(probes_.data(), count_, tests_, at, length, findNuls, lineFeeds,
                                hits);
}

}  // namespace tarvo
