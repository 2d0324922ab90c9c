// Every occurrence of every term in one pass over a text, at a cost per
// byte that does not grow with the number of terms or their lengths.
//
// The automaton is Aho and Corasick's, made a full table: a state per
// distinct beginning of a term (its bytes letter case folded, or exact),
// and for each state and byte the state that follows. After a byte the
// state stands for the longest tail of the text read so far that begins
// some term, so what ends at that byte is known from the state alone: the
// terms ending there, the bytes they cover, and for a term holding a line
// feed how many lines before the one it ends on it began. At the root no
// term is under way: a walk may start at any byte where a term may begin
// and stop as soon as the root comes back.
//
// Worked example: terms 0 `a`, 1 `ab`, 2 `bab` over the text `abab`:
//   byte 0 `a`: state `a`; term 0 ends, covering 1 byte.
//   byte 1 `b`: state `ab`; term 1 ends, covering 2 bytes.
//   byte 2 `a`: state `ba` (the longest tail beginning a term); term 0
//               ends there too, its state `a` being a tail of `ba`.
//   byte 3 `b`: state `bab`; terms 1 and 2 end. Per byte covered, the
//               highest term: 2, 2, 2 (term 2 covers all three).
// Each state's endings are its own terms and those of its longest proper
// tail that is a state, worked out once when the table is built.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/query_term.h"
#include "engine/term_set.h"

namespace tarvo {

class TermAutomaton {
public:
    enum class Matching {
        Folded,  // ASCII letter case folded, as terms match; empty terms included
        Exact,   // the bytes as typed: for the case bonus; empty terms left out
    };
    static constexpr int32_t kRoot = 0;

    // What ends at a byte, known from the state the byte led to.
    struct Ending {
        TermSet terms;      // every term ending here; Folded: with the empty terms where the
                            // byte may begin a term (an empty term occurs at every such byte)
        TermSet sameLine;   // those of them that began on the line they end on
        TermSet spanning;   // the others
        int32_t spansFrom;  // spans_[spansFrom, spansTo): the others, by lines back, the
                            // furthest back first
        int32_t spansTo;
        int32_t longest;          // bytes of the longest non-empty term ending here; 0: none
        int32_t sameLineLongest;  // the same, of those in sameLine
        int32_t coverAt;          // covers_[coverAt, coverAt + longest): per byte, from the first
                                  // byte of the longest term on, 1 + the highest term covering it
    };
    // Terms holding `linesBack` line feeds before their last byte began that
    // many lines before the one they end on.
    struct Span {
        int32_t linesBack;
        TermSet terms;
        int32_t longest;  // bytes of the longest of them
    };

    // Builds the table for terms[0 .. count - 1]. Run again whenever the
    // terms change.
    void build(const QueryTerm* terms, int32_t count, Matching matching);

    int32_t step(int32_t state, uint8_t byte) const {
        return next_[static_cast<uint32_t>(state) << strideShift_ | classOf_[byte]];
    }
    // Some term ends at the byte that led to `state`.
    bool ends(int32_t state) const { return state >= firstEnding_; }
    const Ending& ending(int32_t state) const { return endings_[state - firstEnding_]; }
    const Span* spansBegin(const Ending& ending) const { return spans_.data() + ending.spansFrom; }
    const Span* spansEnd(const Ending& ending) const { return spans_.data() + ending.spansTo; }
    const uint8_t* cover(const Ending& ending) const { return covers_.data() + ending.coverAt; }
    // The most lines any occurrence spans back: 0 unless a term holds a
    // line feed before its last byte.
    int32_t linesBack() const { return linesBack_; }
    // The terms holding `k` line feeds before their last byte, for k from
    // 0 to linesBack(): an occurrence of one ending on a line began k lines
    // before it. termsBack(0): the terms that fit on one line.
    const TermSet& termsBack(int32_t k) const { return termsBack_[k]; }
    // The size of termsBack(0), asked at every scored line.
    int32_t oneLineTerms() const { return oneLineTerms_; }

    // The lowest-indexed non-empty term occurring at `at` (ending by
    // `end`), or -1.
    int32_t firstTermAt(const char* at, const char* end) const;

    // Steps `state` over text[from ..] until it is the root again or
    // `limit` is reached, at least one byte. `line` is the line of
    // text[from]; a line feed ends its line. Calls onEnding(line, after,
    // ending) at each byte where a term ends, `after` the position after
    // it. Returns the position after the last byte stepped.
    template <typename OnEnding>
    [[gnu::always_inline]] int32_t walk(int32_t& state, const char* text, int32_t from,
                                        int32_t limit, int32_t line, OnEnding&& onEnding) const {
        int32_t s = state;
        int32_t at = from;
        do {
            const uint8_t c = static_cast<uint8_t>(text[at++]);
            s = step(s, c);
            if (ends(s)) onEnding(line, at, ending(s));
            line += c == '\n';
        } while (s != kRoot && at < limit);
        state = s;
        return at;
    }

private:
    std::array<uint8_t, 256> classOf_ = {};  // per byte: its column in next_
    int32_t strideShift_ = 0;                // next_ holds 1 << strideShift_ columns per state
    std::vector<uint16_t> next_;             // the state after a state and a byte's class
    int32_t firstEnding_ = 1;                // states from here on have endings; the root has none
    std::vector<Ending> endings_;            // per state from firstEnding_ on
    std::vector<Span> spans_;
    std::vector<uint8_t> covers_;
    std::vector<uint8_t> depth_;  // per state: the bytes it stands for
    std::vector<int8_t> termAt_;  // per state: the lowest term whose bytes it is, or -1
    int32_t linesBack_ = 0;
    std::vector<TermSet> termsBack_ = {{}};  // per lines back, from 0 to linesBack_
    int32_t oneLineTerms_ = 0;
};

}  // namespace tarvo
