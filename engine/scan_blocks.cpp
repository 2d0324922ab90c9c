#include "engine/scan_blocks.h"

#include <immintrin.h>

namespace tarvo {

namespace {

bool isLetter(uint8_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Term starts by the FirstCharTable, one byte at a time.
uint64_t termStartsByTable(const char* at, const std::array<uint8_t, 256>& firstChar) {
    uint64_t starts = 0;
    for (int32_t i = 0; i < kScanBlock; ++i)
        starts |= static_cast<uint64_t>(firstChar[static_cast<uint8_t>(at[i])]) << i;
    return starts;
}

}  // namespace

BlockScanner::ByteTest BlockScanner::testFor(uint8_t c) {
    const bool letter = isLetter(c);
    return {static_cast<uint8_t>(letter ? 0x20 : 0), static_cast<uint8_t>(letter ? (c | 0x20) : c)};
}

BlockScanner::BlockScanner() {
    setWide(true);
}

bool processorHasAvx2() {
#if defined(__x86_64__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

void BlockScanner::setWide(bool wide) {
    wide_ = wide && processorHasAvx2();
}

// A probe per distinct start of the terms (their first bytes), letters
// taken in both cases, so every occurrence of every term sets its bit.
void BlockScanner::prepare(const TermTable& terms) {
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
            // An empty term occurs wherever the FirstCharTable is set (byte 0
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

    probeCount_ = byTable_ ? 0 : count;
    for (int32_t i = 0; i < probeCount_; ++i) {
        probes_[i] = {testFor(keys[i].bytes[0]), testFor(keys[i].bytes[1]),
                      testFor(keys[i].bytes[2]), keys[i].length};
    }
}

// ---------------------------------------------------------------------------
// 16 bytes per compare (SSE2)
// ---------------------------------------------------------------------------

// Most blocks of text hold nothing but line feeds, so the other three masks
// are first tested together and taken apart only when one is set.
void BlockScanner::masksNarrow(const char* at, int32_t blocks, BlockMasks* masks) const {
    constexpr int kLanes = kScanBlock / 16;
    struct Tests {
        __m128i caseBit, value;
    };
    std::array<Tests, kMaxTermProbes> first, second, third;
    for (int32_t i = 0; i < probeCount_; ++i) {
        first[i] = {_mm_set1_epi8(static_cast<char>(probes_[i].first.caseBit)),
                    _mm_set1_epi8(static_cast<char>(probes_[i].first.value))};
        second[i] = {_mm_set1_epi8(static_cast<char>(probes_[i].second.caseBit)),
                     _mm_set1_epi8(static_cast<char>(probes_[i].second.value))};
        third[i] = {_mm_set1_epi8(static_cast<char>(probes_[i].third.caseBit)),
                    _mm_set1_epi8(static_cast<char>(probes_[i].third.value))};
    }
    auto matches = [](__m128i bytes, const Tests& test) {
        return _mm_cmpeq_epi8(_mm_or_si128(bytes, test.caseBit), test.value);
    };
    auto bits = [](__m128i bytes, int lane) {
        return static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(bytes)))
               << (16 * lane);
    };

    for (int32_t b = 0; b < blocks; ++b, at += kScanBlock) {
        __m128i here[kLanes], next[kLanes], after[kLanes], terms[kLanes];
        for (int lane = 0; lane < kLanes; ++lane) {
            here[lane] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * lane));
            next[lane] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * lane + 1));
            after[lane] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * lane + 2));
            terms[lane] = _mm_setzero_si128();
        }
        BlockMasks& out = masks[b];
        out = {};
        for (int lane = 0; lane < kLanes; ++lane)
            out.lineFeeds |= bits(_mm_cmpeq_epi8(here[lane], _mm_set1_epi8('\n')), lane);

        for (int32_t i = 0; i < probeCount_; ++i) {
            for (int lane = 0; lane < kLanes; ++lane) {
                __m128i hit = matches(here[lane], first[i]);
                if (probes_[i].length > 1) hit = _mm_and_si128(hit, matches(next[lane], second[i]));
                if (probes_[i].length > 2) hit = _mm_and_si128(hit, matches(after[lane], third[i]));
                terms[lane] = _mm_or_si128(terms[lane], hit);
            }
        }
        __m128i nuls[kLanes], marks[kLanes];
        __m128i any = _mm_setzero_si128();
        for (int lane = 0; lane < kLanes; ++lane) {
            nuls[lane] = _mm_cmpeq_epi8(here[lane], _mm_setzero_si128());
            const __m128i opens = _mm_and_si128(_mm_cmpeq_epi8(here[lane], _mm_set1_epi8('/')),
                                                _mm_cmpeq_epi8(next[lane], _mm_set1_epi8('*')));
            const __m128i closes = _mm_and_si128(_mm_cmpeq_epi8(here[lane], _mm_set1_epi8('*')),
                                                 _mm_cmpeq_epi8(next[lane], _mm_set1_epi8('/')));
            marks[lane] = _mm_or_si128(opens, closes);
            any =
                _mm_or_si128(any, _mm_or_si128(_mm_or_si128(nuls[lane], marks[lane]), terms[lane]));
        }
        if (byTable_) out.termStarts = termStartsByTable(at, firstChar_);
        if (_mm_movemask_epi8(any) == 0) continue;
        for (int lane = 0; lane < kLanes; ++lane) {
            out.nuls |= bits(nuls[lane], lane);
            out.commentMarks |= bits(marks[lane], lane);
            if (!byTable_) out.termStarts |= bits(terms[lane], lane);
        }
    }
}

// ---------------------------------------------------------------------------
// 32 bytes per compare (AVX2), the same steps
// ---------------------------------------------------------------------------

#if defined(__x86_64__)
namespace {

struct WideTest {
    __m256i caseBit, value;
};

__attribute__((target("avx2"))) inline __m256i matches(__m256i bytes, const WideTest& test) {
    return _mm256_cmpeq_epi8(_mm256_or_si256(bytes, test.caseBit), test.value);
}

__attribute__((target("avx2"))) inline uint64_t bits(__m256i bytes, int lane) {
    return static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(bytes))) << (32 * lane);
}

}  // namespace

__attribute__((target("avx2"))) void BlockScanner::masksWide(const char* at, int32_t blocks,
                                                             BlockMasks* masks) const {
    constexpr int kLanes = kScanBlock / 32;
    std::array<WideTest, kMaxTermProbes> first, second, third;
    for (int32_t i = 0; i < probeCount_; ++i) {
        first[i] = {_mm256_set1_epi8(static_cast<char>(probes_[i].first.caseBit)),
                    _mm256_set1_epi8(static_cast<char>(probes_[i].first.value))};
        second[i] = {_mm256_set1_epi8(static_cast<char>(probes_[i].second.caseBit)),
                     _mm256_set1_epi8(static_cast<char>(probes_[i].second.value))};
        third[i] = {_mm256_set1_epi8(static_cast<char>(probes_[i].third.caseBit)),
                    _mm256_set1_epi8(static_cast<char>(probes_[i].third.value))};
    }
    for (int32_t b = 0; b < blocks; ++b, at += kScanBlock) {
        __m256i here[kLanes], next[kLanes], after[kLanes], terms[kLanes];
        for (int lane = 0; lane < kLanes; ++lane) {
            here[lane] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32 * lane));
            next[lane] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32 * lane + 1));
            after[lane] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32 * lane + 2));
            terms[lane] = _mm256_setzero_si256();
        }
        BlockMasks& out = masks[b];
        out = {};
        for (int lane = 0; lane < kLanes; ++lane)
            out.lineFeeds |= bits(_mm256_cmpeq_epi8(here[lane], _mm256_set1_epi8('\n')), lane);

        for (int32_t i = 0; i < probeCount_; ++i) {
            for (int lane = 0; lane < kLanes; ++lane) {
                __m256i hit = matches(here[lane], first[i]);
                if (probes_[i].length > 1)
                    hit = _mm256_and_si256(hit, matches(next[lane], second[i]));
                if (probes_[i].length > 2)
                    hit = _mm256_and_si256(hit, matches(after[lane], third[i]));
                terms[lane] = _mm256_or_si256(terms[lane], hit);
            }
        }
        __m256i nuls[kLanes], marks[kLanes];
        __m256i any = _mm256_setzero_si256();
        for (int lane = 0; lane < kLanes; ++lane) {
            nuls[lane] = _mm256_cmpeq_epi8(here[lane], _mm256_setzero_si256());
            const __m256i opens =
                _mm256_and_si256(_mm256_cmpeq_epi8(here[lane], _mm256_set1_epi8('/')),
                                 _mm256_cmpeq_epi8(next[lane], _mm256_set1_epi8('*')));
            const __m256i closes =
                _mm256_and_si256(_mm256_cmpeq_epi8(here[lane], _mm256_set1_epi8('*')),
                                 _mm256_cmpeq_epi8(next[lane], _mm256_set1_epi8('/')));
            marks[lane] = _mm256_or_si256(opens, closes);
            any = _mm256_or_si256(
                any, _mm256_or_si256(_mm256_or_si256(nuls[lane], marks[lane]), terms[lane]));
        }
        if (byTable_) out.termStarts = termStartsByTable(at, firstChar_);
        if (_mm256_testz_si256(any, any)) continue;
        for (int lane = 0; lane < kLanes; ++lane) {
            out.nuls |= bits(nuls[lane], lane);
            out.commentMarks |= bits(marks[lane], lane);
            if (!byTable_) out.termStarts |= bits(terms[lane], lane);
        }
    }
}
#else
void BlockScanner::masksWide(const char* at, int32_t blocks, BlockMasks* masks) const {
    masksNarrow(at, blocks, masks);  // never chosen: setWide keeps wide_ false here
}
#endif

}  // namespace tarvo
