// The file scanner's rules written the plain way: the whole file in memory,
// one byte at a time in file order, no window, no block masks, no refills.
// The engine's scanner is tested against it; it shares only the term table
// and the line scorer with the engine.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/int_vector.h"
#include "engine/line_scoring.h"
#include "engine/path_list.h"
#include "engine/search_request.h"
#include "engine/term_table.h"

namespace tarvo::testing {

struct ReferenceResult {
    int32_t score;
    int32_t lineNumber;  // 0 for a file-name entry
    std::string text;    // as the store keeps it: up to a NUL
};

struct ReferenceScan {
    bool binary = false;                // a NUL with Skip Binary Files on: nothing else is set
    std::vector<int32_t> lineStarts;    // [0] dummy, [k] line k, then the size
    std::vector<int32_t> commentFlags;  // [0] dummy, [k] line k begins inside /* */
    std::vector<std::vector<int32_t>> termLines;  // per term; a leading 0 for the path
    std::vector<ReferenceResult> results;         // in the order they are handed to the store
    int32_t lines() const { return static_cast<int32_t>(lineStarts.size()) - 2; }
};

inline uint8_t referenceFold(char c) {
    return foldAscii(static_cast<uint8_t>(c));
}

// Whether term t occurs at bytes[at], the FirstCharTable gating the test.
inline bool referenceMatchAt(std::string_view bytes, size_t at, const TermTable& terms, int32_t t) {
    if (!terms.isFirstChar(static_cast<uint8_t>(bytes[at]))) return false;
    const QueryTerm& term = terms.term(t);
    if (at + term.length > bytes.size()) return false;
    for (int32_t k = 0; k < term.length; ++k) {
        if (referenceFold(bytes[at + k]) != referenceFold(term.text[k])) return false;
    }
    return true;
}

// Line starts, comment flags and term lines of a file's bytes.
inline ReferenceScan indexWholeBuffer(std::string_view bytes, const TermTable& terms,
                                      bool skipBinaryFiles = false) {
    ReferenceScan scan;
    scan.lineStarts = {0, 0};
    scan.commentFlags = {0, 0};
    scan.termLines.resize(terms.count());
    const size_t n = bytes.size();
    int32_t line = 1;
    bool inComment = false;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && bytes[i - 1] == '\n') {
            ++line;
            scan.lineStarts.push_back(static_cast<int32_t>(i));
            scan.commentFlags.push_back(inComment);
        }
        if (bytes[i] == '\0' && skipBinaryFiles) {
            ReferenceScan binary;
            binary.binary = true;
            return binary;
        }
        for (int32_t t = 0; t < terms.count(); ++t) {
            std::vector<int32_t>& lines = scan.termLines[t];
            if (referenceMatchAt(bytes, i, terms, t) && (lines.empty() || lines.back() != line))
                lines.push_back(line);
        }
        const char next = i + 1 < n ? bytes[i + 1] : '\0';
        if (!inComment && bytes[i] == '/' && next == '*') {
            inComment = true;
        } else if (inComment && bytes[i] == '*' && next == '/') {
            inComment = false;
        }
    }
    scan.lineStarts.push_back(static_cast<int32_t>(n));
    return scan;
}

inline void fillIntVector(IntVector& target, const std::vector<int32_t>& values) {
    target.clear();
    for (int32_t v : values)
        static_cast<void>(target.push(v));  // test-sized tables always grow
}

// The whole of one file: path terms, index, qualification and the scored
// lines in the order the scanner hands them over.
inline ReferenceScan scanWholeBuffer(std::string_view path, std::string_view bytes,
                                     const TermTable& terms, const SearchRequest& request) {
    ReferenceScan scan = indexWholeBuffer(bytes, terms, request.options.skipBinaryFiles);
    if (scan.binary) return scan;
    if (request.options.searchFileNames) {
        for (int32_t t = 0; t < terms.count(); ++t) {
            for (size_t at = 0; at < path.size(); ++at) {
                if (referenceMatchAt(path, at, terms, t)) {
                    scan.termLines[t].insert(scan.termLines[t].begin(), 0);
                    break;
                }
            }
        }
    }
    for (const std::vector<int32_t>& lines : scan.termLines) {
        if (lines.empty()) return scan;  // a term occurs nowhere: no results
    }

    std::vector<IntVector> termLines(kMaxTerms);
    for (int32_t t = 0; t < terms.count(); ++t)
        fillIntVector(termLines[t], scan.termLines[t]);
    IntVector commentFlags;
    fillIntVector(commentFlags, scan.commentFlags);
    const bool onSyntaxList = matchesExtensionList(path, request.highlightList);
    const ScoringInput input{terms, termLines.data(), commentFlags, onSyntaxList, request.options};
    LineScorer scorer;
    std::vector<bool> scored(scan.lineStarts.size(), false);
    bool scoredAny = false;
    for (const std::vector<int32_t>& lines : scan.termLines) {
        for (int32_t line : lines) {
            if (line == 0 || scored[line]) continue;
            scored[line] = true;
            scoredAny = true;
            const int32_t begin = scan.lineStarts[line];
            const int32_t end = std::min(scan.lineStarts[line + 1], begin + kMaxLineText);
            const std::string text(bytes.substr(begin, end - begin));
            scan.results.push_back(
                {scorer.scoreLine(input, line, text.c_str()), line, text.c_str()});
        }
    }
    if (!scoredAny) scan.results.push_back({-1, 0, ""});
    return scan;
}

}  // namespace tarvo::testing
