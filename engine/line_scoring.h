// The score of one candidate line: presence of terms, proximity of the other
// terms' lines, and the three switchable bonuses (exact case, whole word,
// definition shape). P x 1,000,000 dominates, so lines with more present
// terms always rank above lines with fewer.
#pragma once

#include <array>
#include <cstdint>

#include "engine/int_vector.h"
#include "engine/search_request.h"
#include "engine/term_table.h"

namespace tarvo {

// The scanner hands the scorer at most this many bytes of a line.
inline constexpr int kMaxLineText = 150;
// A term's lines this far from a line or further earn it nothing: a line's
// score depends only on the terms' lines less than this far from it.
inline constexpr int32_t kProximityReach = 100;

// What the scanner knows about the file being scored.
struct ScoringInput {
    const TermTable& terms;
    const IntVector* termLines;    // one ascending list per term, holding at least its
                                   // lines within reach of the scored line; a leading
                                   // 0 means the term occurs in the path
    bool onSyntaxList;             // the path matches the highlight list
    const SearchOptions& options;  // read live at every scored line
};

// A line number from the list nearest to `line` (the lower on a tie), or
// -1000000 when the list holds no line of the file.
int32_t nearestLine(const IntVector& list, int32_t line);

class LineScorer {
public:
    // `text` is NUL-terminated, at most kMaxLineText bytes (longer text is
    // looked at only up to that length). `inComment`: the line begins
    // inside a /* */ comment.
    int32_t scoreLine(const ScoringInput& input, int32_t line, bool inComment, const char* text);
    // The highest score the line could get, whatever its text: presence and
    // proximity as scoreLine counts them, plus every option bonus in full.
    // Needs no text, so a line that cannot rank can be passed over unread.
    int32_t scoreCeiling(const ScoringInput& input, int32_t line, bool inComment) const;
    // The highest score any line of the file could get: every term on it,
    // the `pathTerms` terms the path holds, and every option bonus in full.
    // Needs no line at all, so a file none of whose lines can rank is only
    // counted.
    int32_t fileCeiling(const ScoringInput& input, int32_t pathTerms) const;

private:
    // The part of the score that comes from the term line lists (termLines) alone.
    static int32_t presenceAndProximity(const ScoringInput& input, int32_t line);
    // The three option parts at their highest.
    static int32_t bonusCeiling(const ScoringInput& input, bool inComment);
    // The three option parts. caseBonus also fills lineTermMap_, so it
    // runs for every term whether or not its result counts.
    int32_t caseBonus(int32_t termIndex, const QueryTerm& term, const char* text, int32_t length);
    int32_t wholeWordBonus(int32_t termIndex, const char* text, int32_t length) const;
    int32_t definitionBonus(const ScoringInput& input, bool inComment, const char* text,
                            int32_t length) const;

    // lineTermMap_: per byte, -1 or the highest-indexed term covering it; one
    // more entry for the terminator position, which stays -1.
    std::array<int32_t, kMaxLineText + 1> lineTermMap_;
};

}  // namespace tarvo
