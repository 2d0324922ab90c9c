// The scanner's first look at the bytes: 64 at a time, SSE2 compares turn
// a block into bit masks of the bytes that need attention (line feeds,
// NULs, comment marks and places where a term may begin). Everything else
// is passed over without a per-byte step; the bytes behind the bits are
// then handled one by one, in file order, by the same rules as before.
#pragma once

#include <emmintrin.h>

#include <array>
#include <cstdint>

#include "engine/term_table.h"

namespace tarvo {

// Bytes per block: one bit per byte in a 64-bit mask.
inline constexpr int32_t kScanBlock = 64;
// How many bytes a block reads: its own and the one after it (the second
// byte of a term or of a comment mark). A block may start at any position
// before the end of what is scanned, so the buffer holds this many bytes
// more than it scans.
inline constexpr int32_t kScanBlockReach = kScanBlock + 1;
// Distinct first bytes (or first two bytes) compared per block; beyond this
// many the FirstCharTable is looked up byte by byte instead.
inline constexpr int32_t kMaxTermProbes = 8;

struct BlockMasks {
    uint64_t lineFeeds = 0;
    uint64_t nuls = 0;
    uint64_t commentMarks = 0;  // '/' followed by '*', or '*' followed by '/'
    uint64_t termStarts = 0;    // every byte where some term occurs, and maybe a few more
};

class BlockScanner {
public:
    // Takes the terms' first bytes (and second bytes) from the table. Run
    // again whenever the terms change.
    void prepare(const TermTable& terms);

    // Masks of the 64 bytes at `at`; reads at[0 .. kScanBlockReach - 1].
    // Most blocks of text hold nothing but line feeds, so the other three
    // masks are first tested together and taken apart only when one is set.
    BlockMasks masksAt(const char* at) const {
        constexpr int kLanes = kScanBlock / 16;
        __m128i here[kLanes], next[kLanes], terms[kLanes];
        for (int lane = 0; lane < kLanes; ++lane) {
            here[lane] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * lane));
            next[lane] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * lane + 1));
            terms[lane] = _mm_setzero_si128();
        }
        BlockMasks masks;
        for (int lane = 0; lane < kLanes; ++lane)
            masks.lineFeeds |= laneBits(_mm_cmpeq_epi8(here[lane], _mm_set1_epi8('\n')), lane);

        if (byTable_) {
            for (int32_t i = 0; i < kScanBlock; ++i) {
                masks.termStarts |= static_cast<uint64_t>(firstChar_[static_cast<uint8_t>(at[i])])
                                    << i;
            }
        } else {
            for (int32_t i = 0; i < probeCount_; ++i) {
                const Probe& probe = probes_[i];
                for (int lane = 0; lane < kLanes; ++lane) {
                    __m128i hit = matches(here[lane], probe.first);
                    if (probe.pair) hit = _mm_and_si128(hit, matches(next[lane], probe.second));
                    terms[lane] = _mm_or_si128(terms[lane], hit);
                }
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
        if (_mm_movemask_epi8(any) == 0) return masks;
        for (int lane = 0; lane < kLanes; ++lane) {
            masks.nuls |= laneBits(nuls[lane], lane);
            masks.commentMarks |= laneBits(marks[lane], lane);
            if (!byTable_) masks.termStarts |= laneBits(terms[lane], lane);
        }
        return masks;
    }

private:
    // One compare: (byte | caseBit) == value. For a letter caseBit is 0x20
    // and value its lower case, so both cases match and nothing else does;
    // for any other byte caseBit is 0 and the compare is exact.
    struct ByteTest {
        __m128i caseBit;
        __m128i value;
    };
    struct Probe {
        ByteTest first;
        ByteTest second;
        bool pair;  // false: the first byte alone decides
    };

    // One bit per byte of the lane-th 16 bytes.
    static uint64_t laneBits(__m128i bytes, int lane) {
        return static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(bytes)))
               << (16 * lane);
    }
    static __m128i matches(__m128i bytes, const ByteTest& test) {
        return _mm_cmpeq_epi8(_mm_or_si128(bytes, test.caseBit), test.value);
    }

    std::array<Probe, kMaxTermProbes> probes_ = {};
    int32_t probeCount_ = 0;
    bool byTable_ = false;                     // too many probes: look up firstChar_
    std::array<uint8_t, 256> firstChar_ = {};  // the FirstCharTable, 0 or 1 per byte
};

}  // namespace tarvo
