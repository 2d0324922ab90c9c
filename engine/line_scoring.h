// The score of one candidate line: presence of terms, proximity of the other
// terms' lines, and the three switchable bonuses (exact case, whole word,
// definition shape). P x 1,000,000 dominates, so lines with more present
// terms always rank above lines with fewer.
#pragma once

#include <array>
#include <cstdint>

#include "engine/search_request.h"
#include "engine/term_set.h"
#include "engine/term_table.h"

namespace tarvo {

// The scanner hands the scorer at most this many bytes of a line.
inline constexpr int kMaxLineText = 150;
// A term's lines this far from a line or further earn it nothing: a line's
// score depends only on the terms' lines less than this far from it.
inline constexpr int32_t kProximityReach = 100;
// The terms of the lines around a scored line are read from a ring of this
// many lines, a power of two: the lines within reach on both sides, and
// room for the lines a scan is still reading.
inline constexpr int32_t kLineRing = 512;

// A line's place in a ring of kLineRing lines.
inline uint32_t ringAt(int32_t line) {
    return static_cast<uint32_t>(line) % kLineRing;
}

// What the scanner knows about the file being scored.
struct ScoringInput {
    const TermTable& terms;
    const TermSet* lineTerms;      // per line, at ringAt(line): the terms beginning on it, for
                                   // every line within reach of the scored one (none for a
                                   // line outside the file)
    TermSet nearby;                // at least the terms beginning on the lines within reach
                                   // of the scored one: no other term is looked for there
    TermSet inPath;                // the terms Search File Names found in the path
    bool onSyntaxList;             // the path matches the highlight list
    const SearchOptions& options;  // read live at every scored line
};

class LineScorer {
public:
    // The part of a line's score that comes from where the terms stand,
    // presence and proximity; the two calls below take it, so a line that
    // cannot rank costs no more than this.
    int32_t presenceAndProximity(const ScoringInput& input, int32_t line) const;
    // The line's score. `text` is NUL-terminated, at most kMaxLineText bytes
    // of the line, a line feed only at its end (longer text is looked at
    // only up to that length). `inComment`: the line begins inside a /* */
    // comment.
    int32_t scoreLine(const ScoringInput& input, int32_t presence, bool inComment,
                      const char* text);
    // The highest score the line could get, whatever its text: its presence
    // and proximity plus every option bonus in full (the case and whole-word
    // bonuses only for terms that fit on one line). Needs no text, so a
    // line that cannot rank can be passed over unread.
    int32_t scoreCeiling(const ScoringInput& input, int32_t presence, bool inComment) const;
    // The highest score any line of the file could get: every term on it,
    // the `pathTerms` terms the path holds, and every option bonus in full.
    // Needs no line at all, so a file none of whose lines can rank is only
    // counted.
    int32_t fileCeiling(const ScoringInput& input, int32_t pathTerms) const;
    // presenceAndProximity of a line holding every term, `pathTerms` of
    // them in the path: nothing near it can add to it.
    int32_t everyTermPresence(const ScoringInput& input, int32_t pathTerms) const;

private:
    // The three option parts at their highest.
    static int32_t bonusCeiling(const ScoringInput& input, bool inComment);
    // Fills lineTermMap_ from the terms occurring in the text; with
    // `exactCase`, returns the terms occurring with their case as typed.
    TermSet mapTerms(const TermTable& terms, const char* text, int32_t length, bool exactCase);
    // Two of the option parts; the case bonus is 10 per term mapTerms returns.
    int32_t wholeWordBonus(const char* text, int32_t length);
    int32_t definitionBonus(const ScoringInput& input, bool inComment, const char* text,
                            int32_t length) const;

    // lineTermMap_: per byte, 0 or 1 + the highest-indexed term covering it
    // (the automaton's covers, taken as they are); one more entry for the
    // terminator position, which stays 0.
    std::array<uint8_t, kMaxLineText + 1> lineTermMap_;
    // Per term, its best run's earning while wholeWordBonus runs; 0 between.
    std::array<uint8_t, kMaxTerms> bestEarning_ = {};
};

}  // namespace tarvo
