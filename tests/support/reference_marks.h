// A line's term marks and the count of the terms on it the plain way: each term tried at each
// byte of the line where a term may begin.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "engine/term_table.h"

namespace tarvo::testing {

// kMarkBit on every byte an occurrence of a non-empty term covers, 0 elsewhere; *count: the
// terms occurring, an empty one wherever some term may begin.
inline std::vector<uint8_t> referenceMarks(const TermTable& terms, const std::string& line,
                                           int32_t* count) {
    std::vector<uint8_t> marks(line.size(), 0);
    *count = 0;
    for (int32_t t = 0; t < terms.count(); ++t) {
        const QueryTerm& term = terms.term(t);
        bool occurs = false;
        for (size_t at = 0; at < line.size(); ++at) {
            if (!terms.isFirstChar(line[at]) || at + term.length > line.size() ||
                !std::equal(term.text, term.text + term.length, &line[at],
                            [](char a, char b) { return foldAscii(a) == foldAscii(b); }))
                continue;
            occurs = true;
            std::fill_n(marks.begin() + at, term.length, kMarkBit);
        }
        *count += occurs;
    }
    return marks;
}

}  // namespace tarvo::testing
