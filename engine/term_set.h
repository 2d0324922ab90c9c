// A set of terms by their index in the term table, one bit each: what a
// line, a path or a file holds, gathered a few words at a time however
// many terms there are.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "engine/query_term.h"

namespace tarvo {

class TermSet {
public:
    // Terms 0 to count - 1.
    static TermSet firstTerms(int32_t count) {
        TermSet set;
        set.words_[0] = count >= 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
        set.words_[1] = count <= 64    ? 0
                        : count >= 128 ? ~uint64_t{0}
                                       : (uint64_t{1} << (count - 64)) - 1;
        return set;
    }
    void add(int32_t term) { words_[term >> 6] |= uint64_t{1} << (term & 63); }
    bool has(int32_t term) const { return (words_[term >> 6] >> (term & 63) & 1) != 0; }
    bool empty() const { return (words_[0] | words_[1]) == 0; }
    int32_t size() const { return bitCount(words_[0]) + bitCount(words_[1]); }

    TermSet& operator|=(const TermSet& other) {
        words_[0] |= other.words_[0];
        words_[1] |= other.words_[1];
        return *this;
    }
    // Keeps only the terms of `other`.
    TermSet& operator&=(const TermSet& other) {
        words_[0] &= other.words_[0];
        words_[1] &= other.words_[1];
        return *this;
    }
    // Leaves out the terms of `other`.
    TermSet& operator-=(const TermSet& other) {
        words_[0] &= ~other.words_[0];
        words_[1] &= ~other.words_[1];
        return *this;
    }
    bool operator==(const TermSet&) const = default;

    // Calls visit(term) for each term, in index order.
    template <typename Visit>
    void forEach(Visit visit) const {
        for (int32_t w = 0; w < 2; ++w) {
            for (uint64_t bits = words_[w]; bits != 0; bits &= bits - 1)
                visit(w * 64 + std::countr_zero(bits));
        }
    }

private:
    // The set bits of a word, added up in place: the x86-64 baseline has no
    // instruction for it, and the library call costs more. An empty word,
    // the second of a query of 64 terms or fewer, costs a compare.
    static int32_t bitCount(uint64_t word) {
        if (word == 0) return 0;
        word -= (word >> 1) & 0x5555555555555555;
        word = (word & 0x3333333333333333) + ((word >> 2) & 0x3333333333333333);
        word = (word + (word >> 4)) & 0x0F0F0F0F0F0F0F0F;
        return static_cast<int32_t>((word * 0x0101010101010101) >> 56);
    }

    std::array<uint64_t, 2> words_ = {};
};
static_assert(kMaxTerms <= 128, "a TermSet holds 128 terms");

}  // namespace tarvo
