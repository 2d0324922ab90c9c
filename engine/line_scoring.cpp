#include "engine/line_scoring.h"

#include <algorithm>
#include <cstring>

namespace tarvo {

namespace {

// What nearestLine gives for a list without a line of the file: far enough
// that no proximity points are earned.
constexpr int32_t kNoLine = -1000000;
// Stands for the distance to a missing next entry.
constexpr int64_t kNoDistance = 1000000;

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

bool startsWith(const char* text, int32_t length, const char* prefix) {
    int32_t prefixLength = static_cast<int32_t>(std::strlen(prefix));
    return prefixLength <= length && std::memcmp(text, prefix, prefixLength) == 0;
}

}  // namespace

int32_t nearestLine(const IntVector& list, int32_t line) {
    bool hasPathEntry = !list.empty() && list.get(0) == 0;
    if (list.empty() || (hasPathEntry && list.size() == 1)) return kNoLine;
    int32_t floor = list.floorIndex(line);
    if (floor == 0 && hasPathEntry) return list.get(1);
    if (floor == -1) return list.get(0);
    int64_t below = static_cast<int64_t>(line) - list.get(floor);
    int64_t above =
        floor + 1 < list.size() ? list.get(floor + 1) - static_cast<int64_t>(line) : kNoDistance;
    return below <= above ? list.get(floor) : list.get(floor + 1);  // a tie goes to the lower line
}

// Presence and proximity come from the term line lists (termLines), so they count even
// where the line text was cut before the occurrence.
int32_t LineScorer::presenceAndProximity(const ScoringInput& input, int32_t line) {
    int32_t present = 0;
    int32_t points = 0;
    for (int32_t i = 0; i < input.terms.count(); ++i) {
        const IntVector& list = input.termLines[i];
        bool inPath = !list.empty() && list.get(0) == 0;
        int64_t distance = static_cast<int64_t>(line) - nearestLine(list, line);
        if (distance < 0) distance = -distance;
        if (distance == 0 || inPath) ++present;
        if (inPath) points += kPathPresenceBonus;
        if (distance < kProximityReach)
            points += static_cast<int32_t>(kProximityReach - distance) * 10;
    }
    return present * kPresenceWeight + points;
}

int32_t LineScorer::scoreLine(const ScoringInput& input, int32_t line, bool inComment,
                              const char* text) {
    const int32_t length = static_cast<int32_t>(strnlen(text, kMaxLineText));
    const int32_t termCount = input.terms.count();
    int32_t points = presenceAndProximity(input, line);

    std::fill(lineTermMap_.begin(), lineTermMap_.begin() + length + 1, -1);
    for (int32_t i = 0; i < termCount; ++i) {
        int32_t bonus = caseBonus(i, input.terms.term(i), text, length);
        if (input.options.caseSensitiveBonus) points += bonus;
    }
    if (input.options.wholeWordBonus) {
        for (int32_t i = 0; i < termCount; ++i)
            points += wholeWordBonus(i, text, length);
    }
    if (input.options.cppHeuristics) points += definitionBonus(input, inComment, text, length);
    return points;
}

int32_t LineScorer::scoreCeiling(const ScoringInput& input, int32_t line, bool inComment) const {
    return presenceAndProximity(input, line) + bonusCeiling(input, inComment);
}

int32_t LineScorer::fileCeiling(const ScoringInput& input, int32_t pathTerms) const {
    const int32_t termCount = input.terms.count();
    return termCount * (kPresenceWeight + kProximityReach * 10) + pathTerms * kPathPresenceBonus +
           bonusCeiling(input, false);
}

int32_t LineScorer::bonusCeiling(const ScoringInput& input, bool inComment) {
    const int32_t termCount = input.terms.count();
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

// Marks every occurrence of the term in lineTermMap_ (later terms overwrite
// earlier ones); 10 when at least one occurrence has the exact case.
int32_t LineScorer::caseBonus(int32_t termIndex, const QueryTerm& term, const char* text,
                              int32_t length) {
    if (length == 0 || term.length == 0) return 0;  // an empty term marks nothing
    const char* end = text + length;
    const uint8_t first = foldAscii(static_cast<uint8_t>(term.text[0]));
    int32_t bonus = 0;
    for (int32_t at = 0; at < length; ++at) {
        if (foldAscii(static_cast<uint8_t>(text[at])) != first) continue;
        int32_t kind = caseMatchKind(text + at, end, term);
        if (kind == 0) continue;
        std::fill(lineTermMap_.begin() + at, lineTermMap_.begin() + at + term.length, termIndex);
        if (kind == 2) bonus = kCaseBonus;
    }
    return bonus;
}

// The best earning among the term's runs (touching occurrences of the same
// term form one run). A neighbouring term's occurrence bounds a side and
// earns 5; otherwise a side is bounded by a non-word byte or the line's edge.
int32_t LineScorer::wholeWordBonus(int32_t termIndex, const char* text, int32_t length) const {
    int32_t best = 0;
    int32_t at = 0;
    while (at < length) {
        if (lineTermMap_[at] != termIndex) {
            ++at;
            continue;
        }
        const int32_t begin = at;
        while (at < length && lineTermMap_[at] == termIndex)
            ++at;
        const int32_t end = at;

        int32_t earning = 0;
        bool leftBounded;
        if (begin == 0) {
            leftBounded = true;
        } else if (lineTermMap_[begin - 1] != -1) {
            leftBounded = true;
            earning += kTouchingTermBonus;
        } else {
            leftBounded = !isWordChar(text[begin - 1]);
        }
        bool rightBounded;
        if (end == length) {
            rightBounded = true;  // also where the text was cut at 150 bytes
        } else if (lineTermMap_[end] != -1) {
            rightBounded = true;
            earning += kTouchingTermBonus;
        } else {
            rightBounded = !isWordChar(text[end]);
        }
        if (leftBounded && rightBounded) earning += kBoundedRunBonus;
        best = std::max(best, earning);
    }
    return best;
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
        if (lineTermMap_[at] != -1) {
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
