// A line's term marks and count of terms the plain way: each term tried at each byte.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "engine/term_table.h"

namespace tarvo::testing {

// Whether `term` occurs at byte `at` of `text`, letter case folded, where a term may begin.
inline bool occursAt(const TermTable& terms, std::string_view text, size_t at,
                     const QueryTerm& term) {
    return terms.isFirstChar(text[at]) && at + term.length <= text.size() &&
           std::equal(term.text, term.text + term.length, text.begin() + at,
                      [](char a, char b) { return foldAscii(a) == foldAscii(b); });
}

// kMarkBit on each byte a non-empty term's occurrence covers; *count: the terms occurring.
inline std::vector<uint8_t> referenceMarks(const TermTable& terms, const std::string& line,
                                           int32_t* count) {
    std::vector<uint8_t> marks(line.size(), 0);
    *count = 0;
    for (int32_t t = 0; t < terms.count(); ++t) {
        const QueryTerm& term = terms.term(t);
        bool occurs = false;
        for (size_t at = 0; at < line.size(); ++at)
            if (occursAt(terms, line, at, term))
                occurs = true, std::fill_n(marks.begin() + at, term.length, kMarkBit);
        *count += occurs;
    }
    return marks;
}

}  // namespace tarvo::testing
