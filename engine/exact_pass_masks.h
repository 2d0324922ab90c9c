// The exact passes' look at the bytes (the passes that visit every place a
// term may begin: finding the terms the probes leave undecided, counting
// where the probes cannot stop at every start, scoring; the probe passes
// look through probe_pass_filter.h): 64 at a time, vector compares turn
// a block into bit masks of the bytes that need attention (line feeds,
// NULs, comment marks and places where a term may begin). Everything else
// is passed over without a per-byte step; the bytes behind the bits are
// then handled one by one, in file order, as a byte-at-a-time scan would.
//
// The compares are written once (see vector_bytes.h): SSE2 does them 16
// bytes at a time, and where the processor has AVX2 the same code runs 32
// bytes at a time. Both give the same masks.
#pragma once

#include <array>
#include <cstdint>

#include "engine/term_table.h"

namespace tarvo {

// Bytes per block: one bit per byte in a 64-bit mask.
inline constexpr int32_t kScanBlock = 64;
// How many bytes a block reads: its own and the two after it (the second
// and third bytes of a term, the second of a comment mark). A block may
// start at any position before the end of what is scanned, so the buffer
// holds this many bytes more than it scans.
inline constexpr int32_t kScanBlockReach = kScanBlock + 2;
// Blocks per masksFor call: enough to make the call itself cost nothing,
// few enough that their masks stay in the first-level cache.
inline constexpr int32_t kMaskBatch = 64;
// Distinct first bytes (or first two or three bytes) compared per block;
// beyond this many firstChar_ is looked up byte by byte instead.
inline constexpr int32_t kMaxTermProbes = 8;

struct BlockMasks {
    int32_t lineFeedCount;  // the bits of lineFeeds
    uint64_t lineFeeds;
    uint64_t nuls;
    uint64_t commentMarks;  // '/' followed by '*', or '*' followed by '/'
    uint64_t termStarts;    // every byte where some term occurs, and maybe a few more
};

class ExactPassMasks {
public:
    ExactPassMasks();

    // Takes the terms' first bytes (and second and third bytes) from the
    // table. Run again whenever the terms change.
    void prepare(const TermTable& terms);

    // Masks of `blocks` (1 to kMaskBatch) blocks one after the other from
    // `at`; without `commentMarks`, commentMarks stays 0. Reads
    // at[0 .. kScanBlock x (blocks - 1) + kScanBlockReach - 1].
    void masksFor(const char* at, int32_t blocks, bool commentMarks, BlockMasks* masks) const {
        if (wide_) {
            masksWide(at, blocks, commentMarks, masks);
        } else {
            masksNarrow(at, blocks, commentMarks, masks);
        }
    }

    // 32-byte compares: on by default where the processor has AVX2. Turning
    // them on elsewhere is ignored; the tests turn them off to compare.
    void setWide(bool wide);

    // One compare: (byte | caseBit) == value. For a letter caseBit is 0x20
    // and value its lower case, so both cases match and nothing else does;
    // for any other byte caseBit is 0 and the compare is exact.
    struct ByteTest {
        uint8_t caseBit;
        uint8_t value;
    };
    static ByteTest testFor(uint8_t c);
    // Where a term may begin: its first one to three bytes.
    struct StartTest {
        ByteTest first;
        ByteTest second;
        ByteTest third;
        int32_t length;  // 1 to 3: how many of the bytes decide
    };

    // The starts compared, or none where too many make it look up the
    // firstChar_ instead.
    int32_t startTestCount() const { return startTestCount_; }
    const StartTest& startTest(int32_t i) const { return startTests_[i]; }

private:
    void masksNarrow(const char* at, int32_t blocks, bool commentMarks, BlockMasks* masks) const;
    void masksWide(const char* at, int32_t blocks, bool commentMarks, BlockMasks* masks) const;

    std::array<StartTest, kMaxTermProbes> startTests_ = {};
    int32_t startTestCount_ = 0;
    bool byTable_ = false;                     // too many starts: look up firstChar_
    std::array<uint8_t, 256> firstChar_ = {};  // 1 for a byte some term begins with
    bool wide_ = false;
};

}  // namespace tarvo
