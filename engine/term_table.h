// The query terms of the last search and the small matching operations the
// rest of the program uses on them. The table lives from one run to the
// next: the views mark matches with the terms of the last run, not with what
// the Find box holds now.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/query_term.h"
#include "engine/term_automaton.h"
#include "engine/term_set.h"

namespace tarvo {

// Attribute byte bit: the byte belongs to an occurrence of a query term.
inline constexpr uint8_t kMarkBit = 0x40;

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

    // The automaton that finds the terms, letter case folded as they match,
    // and the one that finds them with their case as typed.
    const TermAutomaton& automaton() const { return folded_; }
    const TermAutomaton& exactAutomaton() const { return exact_; }

    // The terms occurring in a NUL-terminated string, an empty term where
    // some term may begin.
    TermSet termsIn(const char* text) const;
    // Distinct terms occurring in a NUL-terminated string, each counted once.
    int32_t countTermsIn(const char* text) const { return termsIn(text).size(); }

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
    TermAutomaton folded_;
    TermAutomaton exact_;
};

}  // namespace tarvo
