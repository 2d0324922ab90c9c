// A line's score the plain way: each term's nearest line, each term tried at each byte, the
// bonuses worked out term by term.
#pragma once

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "engine/int_vector.h"
#include "engine/line_scoring.h"

namespace tarvo::testing {

// Per term its lines in ascending order, led by a 0 when the path holds the term.
struct ReferenceInput {
    const TermTable& terms;
    const IntVector* termLines;
    bool onSyntaxList;
    const SearchOptions& options;
};

// The list's line nearest to `line`, the lower on a tie; -1000000 when it holds none.
inline int32_t referenceNearestLine(const IntVector& list, int32_t line) {
    const bool hasPathEntry = !list.empty() && list.get(0) == 0;
    if (list.empty() || (hasPathEntry && list.size() == 1)) return -1000000;
    const int32_t floor = list.floorIndex(line);
    if (floor == 0 && hasPathEntry) return list.get(1);
    if (floor == -1) return list.get(0);
    const int64_t below = int64_t{line} - list.get(floor);
    const int64_t above = floor + 1 < list.size() ? list.get(floor + 1) - int64_t{line} : 1000000;
    return below <= above ? list.get(floor) : list.get(floor + 1);
}

// 2 for an occurrence in the exact case, 1 for one only letter case folded, else 0.
inline int32_t referenceCaseMatch(const char* at, const char* end, const QueryTerm& term) {
    if (end - at < term.length) return 0;
    int32_t kind = 2;
    for (int32_t k = 0; k < term.length; ++k) {
        if (at[k] == term.text[k]) continue;
        if (foldAscii(at[k]) != foldAscii(term.text[k])) return 0;
        kind = 1;
    }
    return kind;
}

inline int32_t referenceScore(const ReferenceInput& input, int32_t line, bool inComment,
                              const char* text) {
    const int32_t length = static_cast<int32_t>(strnlen(text, kMaxLineText));
    const TermTable& terms = input.terms;
    int32_t present = 0, points = 0;
    for (int32_t t = 0; t < terms.count(); ++t) {
        const IntVector& list = input.termLines[t];
        const bool inPath = !list.empty() && list.get(0) == 0;
        const int64_t distance = std::abs(int64_t{line} - referenceNearestLine(list, line));
        present += distance == 0 || inPath;
        points +=
            (inPath ? 1000 : 0) + (distance < 100 ? static_cast<int32_t>(100 - distance) : 0) * 10;
    }
    // The map: terms entered in index order, each overwriting where it occurs.
    std::array<int32_t, kMaxLineText + 1> map;
    map.fill(-1);
    for (int32_t t = 0; t < terms.count(); ++t) {
        const QueryTerm& term = terms.term(t);
        bool exact = false;
        for (int32_t at = 0; at < length && term.length > 0; ++at) {
            const int32_t kind = referenceCaseMatch(text + at, text + length, term);
            if (kind > 0) std::fill(map.begin() + at, map.begin() + at + term.length, t);
            exact |= kind == 2;
        }
        if (exact && input.options.caseSensitiveBonus) points += 10;
    }
    const auto word = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    for (int32_t t = 0; t < terms.count() && input.options.wholeWordBonus; ++t) {
        int32_t best = 0;
        for (int32_t begin = 0, end; begin < length; begin = end) {
            for (end = begin + 1; map[begin] == t && end < length && map[end] == t;)
                ++end;
            if (map[begin] != t) continue;
            const bool leftTerm = begin > 0 && map[begin - 1] != -1;
            const bool rightTerm = end < length && map[end] != -1;
            const int32_t earning = (leftTerm ? 5 : 0) + (rightTerm ? 5 : 0);
            const bool left = begin == 0 || leftTerm || !word(text[begin - 1]);
            const bool right = end == length || rightTerm || !word(text[end]);
            best = std::max(best, earning + (left && right ? 20 : 0));
        }
        points += best;
    }
    int32_t definition = 0, at = 0, indent = 0;
    for (; at < length && (text[at] == ' ' || text[at] == '\t'); ++at)
        indent += text[at] == '\t' ? 4 : 1;
    for (int32_t depth = 0; !inComment && indent <= 8 && at < length; ++at) {
        if (map[at] != -1) {
            definition = depth == 0 ? 1000 - indent * 10 : 0;
            definition = input.onSyntaxList ? definition : definition / 2;
            break;
        }
        depth += (text[at] == '(') - (text[at] == ')');
        const std::string_view rest(text + at, length - at);
        if (text[at] == '=' || rest.starts_with("//") || rest.starts_with("/*") ||
            rest.starts_with("case ") || rest.starts_with("return "))
            break;
    }
    if (input.options.cppHeuristics) points += definition;
    return present * 1000000 + points;
}

}  // namespace tarvo::testing
