#include "engine/line_scoring.h"

#include <algorithm>
#include <cstring>

namespace tarvo {

namespace {

constexpr int32_t kPresenceWeight = 1000000;  // P x this dominates every bonus
constexpr int32_t kPathPresenceBonus = 1000;
constexpr int32_t kCaseBonus = 10;
constexpr int32_t kTouchingTermBonus = 5;
constexpr int32_t kBoundedRunBonus = 20;
constexpr int32_t kMaxDefinitionIndent = 8;  // deeper lines are not definitions
constexpr int32_t kTabIndent = 4;
constexpr int32_t kMaxDefinitionBonus = 1000;  // at indent 0; 10 less per column

// Word characters for the Whole Word Bonus: letters and digits, not '_'.
bool isWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// map[k] = max(map[k], cover[k]) for k < length: the two never overlap,
// which lets the compiler take many bytes at a time.
void raise(uint8_t* __restrict map, const uint8_t* __restrict cover, int32_t length) {
    for (int32_t k = 0; k < length; ++k)
        map[k] = std::max(map[k], cover[k]);
}

bool startsWith(const char* text, int32_t length, const char* prefix) {
    int32_t prefixLength = static_cast<int32_t>(std::strlen(prefix));
    return prefixLength <= length && std::memcmp(text, prefix, prefixLength) == 0;
}

}  // namespace

// Presence and proximity come from where the terms stand, so they count
// even where the line's text was cut before an occurrence. Each term
// earns for its nearest line within reach, found for all terms at once:
// the lines at each distance, nearest first, until every term is placed.
int32_t LineScorer::presenceAndProximity(const ScoringInput& input, int32_t line) const {
    const TermSet& here = input.lineTerms[ringAt(line)];
    const int32_t hereCount = here.size();
    int32_t presentCount = hereCount;
    int32_t points = hereCount * kProximityReach * 10;
    if (!input.inPath.empty()) {  // seldom: counted only then
        TermSet present = here;
        present |= input.inPath;
        presentCount = present.size();
        points += input.inPath.size() * kPathPresenceBonus;
    }
    TermSet missing = input.nearby;
    missing -= here;
    for (int32_t distance = 1; distance < kProximityReach && !missing.empty(); ++distance) {
        TermSet near = input.lineTerms[ringAt(line - distance)];
        near |= input.lineTerms[ringAt(line + distance)];
        near &= missing;
        if (near.empty()) continue;
        points += near.size() * (kProximityReach - distance) * 10;
        missing -= near;
    }
    return presentCount * kPresenceWeight + points;
}

int32_t LineScorer::scoreLine(const ScoringInput& input, int32_t presence, bool inComment,
                              const char* text) {
    const int32_t length = static_cast<int32_t>(strnlen(text, kMaxLineText));
    int32_t points = presence;
    const TermSet exactCase = mapTerms(input.terms, text, length, input.options.caseSensitiveBonus);
    points += exactCase.size() * kCaseBonus;
    if (input.options.wholeWordBonus) points += wholeWordBonus(text, length);
    if (input.options.cppHeuristics) points += definitionBonus(input, inComment, text, length);
    return points;
}

int32_t LineScorer::scoreCeiling(const ScoringInput& input, int32_t presence,
                                 bool inComment) const {
    return presence + bonusCeiling(input, inComment);
}

int32_t LineScorer::fileCeiling(const ScoringInput& input, int32_t pathTerms) const {
    return everyTermPresence(input, pathTerms) + bonusCeiling(input, false);
}

int32_t LineScorer::everyTermPresence(const ScoringInput& input, int32_t pathTerms) const {
    return input.terms.count() * (kPresenceWeight + kProximityReach * 10) +
           pathTerms * kPathPresenceBonus;
}

// The case and whole-word bonuses are earned only by terms occurring in
// the text, one line's: never by a term holding a line feed before its
// last byte.
int32_t LineScorer::bonusCeiling(const ScoringInput& input, bool inComment) {
    const int32_t termCount = input.terms.automaton().oneLineTerms();
    int32_t points = 0;
    if (input.options.caseSensitiveBonus) points += termCount * kCaseBonus;
    if (input.options.wholeWordBonus) {
        // A run touches another term only where there is another term.
        const int32_t touching = termCount > 1 ? 2 * kTouchingTermBonus : 0;
        points += termCount * (kBoundedRunBonus + touching);
    }
    if (input.options.cppHeuristics && !inComment)
        points += input.onSyntaxList ? kMaxDefinitionBonus : kMaxDefinitionBonus / 2;
    return points;
}

// Every occurrence of a term sets the entries of the bytes it covers to
// its index, the highest index winning where occurrences overlap, as if the
// terms were entered in index order, each overwriting. The terms ending at
// a byte hand over, per byte they cover, the highest of them: one compare
// per byte covered, however many terms end there.
//
// With `exactCase`, the exact automaton walks alongside: it is under way
// only where the folded one is (an exact beginning of a term is one letter
// case folded too), so both skip the bytes where no term is under way.
TermSet LineScorer::mapTerms(const TermTable& terms, const char* text, int32_t length,
                             bool exactCase) {
    std::fill(lineTermMap_.begin(), lineTermMap_.begin() + length + 1, 0);
    const TermAutomaton& folded = terms.automaton();
    const TermAutomaton& exact = terms.exactAutomaton();
    TermSet exactTerms;
    int32_t state = TermAutomaton::kRoot;
    int32_t exactState = TermAutomaton::kRoot;
    for (int32_t at = 0; at < length; ++at) {
        const uint8_t c = static_cast<uint8_t>(text[at]);
        state = folded.step(state, c);
        if (state == TermAutomaton::kRoot) {
            exactState = TermAutomaton::kRoot;
            continue;
        }
        if (exactCase) {
            exactState = exact.step(exactState, c);
            if (exact.ends(exactState)) exactTerms |= exact.ending(exactState).terms;
        }
        if (!folded.ends(state)) continue;
        const TermAutomaton::Ending& ending = folded.ending(state);
        raise(lineTermMap_.data() + at + 1 - ending.longest, folded.cover(ending), ending.longest);
    }
    return exactTerms;
}

// Per term, the best earning among its runs (maximal stretches of bytes
// mapped to it, so touching occurrences of the same term form one run); the
// sum over the terms. A neighbouring term's occurrence bounds a side and
// earns 5; otherwise a side is bounded by a non-word byte or the line's edge.
int32_t LineScorer::wholeWordBonus(const char* text, int32_t length) {
    TermSet earned;
    int32_t at = 0;
    while (at < length) {
        const uint8_t mapped = lineTermMap_[at];
        if (mapped == 0) {
            ++at;
            continue;
        }
        const int32_t begin = at;
        while (at < length && lineTermMap_[at] == mapped)
            ++at;
        const int32_t end = at;

        int32_t earning = 0;
        bool leftBounded;
        if (begin == 0) {
            leftBounded = true;
        } else if (lineTermMap_[begin - 1] != 0) {
            leftBounded = true;
            earning += kTouchingTermBonus;
        } else {
            leftBounded = !isWordChar(text[begin - 1]);
        }
        bool rightBounded;
        if (end == length) {
            rightBounded = true;  // also where the text was cut at 150 bytes
        } else if (lineTermMap_[end] != 0) {
            rightBounded = true;
            earning += kTouchingTermBonus;
        } else {
            rightBounded = !isWordChar(text[end]);
        }
        if (leftBounded && rightBounded) earning += kBoundedRunBonus;
        const int32_t term = mapped - 1;
        earned.add(term);
        bestEarning_[term] = std::max<int32_t>(bestEarning_[term], earning);
    }
    int32_t sum = 0;
    earned.forEach([&](int32_t term) {
        sum += bestEarning_[term];
        bestEarning_[term] = 0;
    });
    return sum;
}

// Favours the shape of a declaration or function head: little indentation,
// and the line's first term occurrence outside parentheses, before any
// assignment, comment, `case` label or `return`. Halved off the syntax list.
int32_t LineScorer::definitionBonus(const ScoringInput& input, bool inComment, const char* text,
                                    int32_t length) const {
    if (inComment) return 0;

    int32_t indent = 0;
    int32_t at = 0;
    while (at < length && (text[at] == ' ' || text[at] == '\t')) {
        indent += text[at] == '\t' ? kTabIndent : 1;
        ++at;
    }
    if (indent > kMaxDefinitionIndent || at == length) return 0;
    const int32_t candidate = kMaxDefinitionBonus - indent * 10;

    int32_t depth = 0;
    for (; at < length; ++at) {
        if (lineTermMap_[at] != 0) {
            int32_t value = depth == 0 ? candidate : 0;
            return input.onSyntaxList ? value : value / 2;
        }
        const char c = text[at];
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == '=') return 0;
        if (c == '/' && at + 1 < length && (text[at + 1] == '/' || text[at + 1] == '*')) return 0;
        if (startsWith(text + at, length - at, "case ") ||
            startsWith(text + at, length - at, "return "))
            return 0;
    }
    return 0;
}

}  // namespace tarvo
