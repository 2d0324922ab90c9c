// The query terms of the last search and the small matching operations the
// rest of the program uses on them. The table lives from one run to the
// next: the views mark matches with the terms of the last run, not with what
// the Find box holds now.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tarvo {

inline constexpr int kMaxTerms = 100;       // surplus terms are ignored
inline constexpr int kMaxTermLength = 100;  // a longer word is split into terms

// Attribute byte bit: the byte belongs to an occurrence of a query term.
inline constexpr uint8_t kMarkBit = 0x40;

// Only A-Z fold; every other byte compares unchanged.
inline constexpr uint8_t foldAscii(uint8_t c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

struct QueryTerm {
    char text[kMaxTermLength + 1] = {};  // escapes resolved, case as typed
    int32_t length = 0;                  // may be 0: an empty term
};

// Which limits a Find text ran into; the terms are built all the same.
struct TermLimitsMet {
    bool termsDropped = false;  // text was left after the last term the table holds
    bool termSplit = false;     // a word ran past kMaxTermLength and went on as another term
};

class TermTable {
public:
    // parseTerms: rebuilds the terms and firstChar_ from the Find text.
    TermLimitsMet parseTerms(std::string_view findText);
    // What the last parseTerms ran into.
    const TermLimitsMet& limitsMet() const { return limitsMet_; }

    int32_t count() const { return count_; }
    const QueryTerm& term(int32_t index) const { return terms_[index]; }

    // firstChar_: set for a byte some term begins with, in either ASCII
    // case; an empty term sets the flag of byte 0.
    bool isFirstChar(uint8_t c) const { return firstChar_[c] != 0; }

    // termMatchAt: every byte of the term equals, after folding both, the byte
    // at the same offset from `at`. The text ends at `end` (or at a NUL, which
    // no term byte equals), so an occurrence never runs past it.
    // Inline: the scanner asks it at every candidate byte.
    bool termMatchAt(const char* at, const char* end, int32_t termIndex) const {
        return end - at >= terms_[termIndex].length && termBytesAt(at, termIndex);
    }
    // The same without an end: term bytes are never NUL, so the comparison
    // stops at the NUL that ends the text, whatever its length.
    bool termBytesAt(const char* at, int32_t termIndex) const {
        const QueryTerm& term = terms_[termIndex];
        for (int32_t k = 0; k < term.length; ++k) {
            if (foldAscii(static_cast<uint8_t>(at[k])) !=
                foldAscii(static_cast<uint8_t>(term.text[k])))
                return false;
        }
        return true;
    }

    // Distinct terms occurring in a NUL-terminated string, each counted once.
    // Gated by firstChar_ like the scanner.
    int32_t countTermsIn(const char* text) const;

    // Sets marks[0 .. strlen(line)-1] to 0, then kMarkBit on every byte covered
    // by an occurrence of a non-empty term. An empty line writes nothing.
    void markTermMatches(const char* line, uint8_t* marks) const;

private:
    std::array<QueryTerm, kMaxTerms> terms_;
    int32_t count_ = 0;
    TermLimitsMet limitsMet_;
    std::array<uint8_t, 256> firstChar_ = {};
    // The same bytes as a C string (byte 0 left out), for strcspn.
    std::array<char, 256> firstChars_ = {};
};

// 2 when the term's bytes equal the text's exactly, 1 when only after
// folding, 0 when it does not match (an empty term gives 2).
int32_t caseMatchKind(const char* at, const char* end, const QueryTerm& term);

}  // namespace tarvo
