// The probe passes' look at the bytes: the first pass's, and the count's
// of a file none of whose lines can rank (the exact passes look through
// exact_pass_masks.h). Most files lack a term, and all the first pass must
// learn of such a file is its line count and whether it holds a NUL; so a
// 64-byte block costs it a few vector compares: line feeds are counted
// without taking them apart, and each wanted term is probed at its two
// rarest bytes (by how often a byte occurs in source code), both
// compared at their offsets in the term, letter case ignored. A block is
// looked at byte by byte only where a NUL or a probe's pair stands.
//
// The compares are written once (see vector_bytes.h): SSE2
// (the x86-64 baseline) does them 16 bytes at a time, and where the
// processor has AVX2 the same code runs 32 bytes at a time.
#pragma once

#include <array>
#include <cstdint>

#include "engine/exact_pass_masks.h"
#include "engine/term_set.h"
#include "engine/term_table.h"

namespace tarvo {

// How far past the end of what it scans a probe reads: its block, and the
// term's second rarest byte at most kMaxTermLength - 1 bytes later. The scan
// window keeps this many bytes behind its fill.
inline constexpr int32_t kProbeReach = kScanBlock + kMaxTermLength;

// What stopped a scan: the block where it stopped (an offset from where the
// scan began), its NULs, its possible term starts and its line feeds.
struct ProbeHits {
    int32_t block;
    uint64_t nuls;
    uint64_t starts;
    uint64_t lineFeeds;
};

class ProbePassFilter {
public:
    ProbePassFilter();

    // Chooses each term's two rarest bytes. Run again whenever the terms
    // change.
    void setTerms(const TermTable& terms);
    // Probes the terms `wanted` marks, the first kMaxTermProbes non-empty
    // ones: a file lacking one of them lacks a term. Where all of them
    // occur, the exact pass decides on the others.
    void prepare(const TermSet& wanted);
    // Probes instead every place where some term may begin, at the bytes
    // the exact passes' masks compare there (up to three): so a scan stops
    // wherever any term occurs, and seldom anywhere else. False, probing
    // nothing, when the masks look their starts up by the table.
    bool prepareStarts(const ExactPassMasks& blocks);
    // Probes no more for a term found.
    void drop(int32_t term);
    int32_t count() const { return count_; }
    int32_t term(int32_t probe) const { return probes_[probe].term; }

    // Scans `length` bytes from `at`, block by block, until a block holds a
    // NUL (when `findNuls`) or a possible start of a probed term. Adds the
    // line feeds of every block it passes, the stopping one too, to
    // *lineFeeds. Returns the bytes passed (up to `length`); *hits holds the
    // stopping block's masks (bit 0 its first byte), or none.
    // Reads at[0 .. length + kProbeReach - 1].
    int32_t scan(const char* at, int32_t length, bool findNuls, int64_t* lineFeeds,
                 ProbeHits* hits) const {
        return wide_ ? scanWide(at, length, findNuls, lineFeeds, hits)
                     : scanNarrow(at, length, findNuls, lineFeeds, hits);
    }

    // 32-byte compares: on by default where the processor has AVX2. The
    // tests turn them off to compare.
    void setWide(bool wide);

    // Byte tests at offsets from a possible start: for a term, its rarest
    // byte and its second rarest (the rarest again for a one-byte term); for
    // a start, up to three bytes from it (the last repeated where fewer).
    struct Probe {
        std::array<ExactPassMasks::ByteTest, 3> tests;
        std::array<int32_t, 3> at;
        int32_t term;  // -1: an empty term, never probed; or a start, of any term
    };

private:
    int32_t scanNarrow(const char* at, int32_t length, bool findNuls, int64_t* lineFeeds,
                       ProbeHits* hits) const;
    int32_t scanWide(const char* at, int32_t length, bool findNuls, int64_t* lineFeeds,
                     ProbeHits* hits) const;

    std::array<Probe, kMaxTerms> termProbes_ = {};
    int32_t termCount_ = 0;
    std::array<Probe, kMaxTermProbes> probes_ = {};
    int32_t count_ = 0;
    int32_t tests_ = 2;  // byte tests per probe: two for terms, three for starts
    bool wide_ = false;
};

}  // namespace tarvo
