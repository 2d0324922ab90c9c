// The scanner's rules the plain way, each term tried at each byte; it shares terms and excerpt.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "engine/line_excerpt.h"
#include "engine/line_scoring.h"
#include "engine/path_list.h"
#include "engine/result_sink.h"
#include "engine/text_encoding.h"
#include "support/reference_marks.h"
#include "support/reference_scorer.h"

namespace tarvo::testing {

struct ReferenceScan {
    bool binary = false;     // Skip Binary Files met a NUL: the tables are left part-filled
    IntVector lineStarts;    // [0] dummy, [k] line k, then the size
    IntVector commentFlags;  // [0] dummy, [k] line k begins inside /* */
    std::array<IntVector, kMaxTerms> termLines;  // per term; a leading 0 for the path
    int32_t matches = 0;                         // lines scored
    int32_t lines() const { return lineStarts.size() - 2; }
};

// The text the scanner reads of a file's bytes (engine/text_encoding.h).
inline std::string textOf(std::string_view bytes) {
    const TextMark mark = textMark(bytes);
    if (mark == TextMark::Utf16LittleEndian || mark == TextMark::Utf16BigEndian)
        return utf16ToUtf8(bytes.substr(2), mark == TextMark::Utf16BigEndian);
    return std::string(bytes.substr(textMarkLength(mark)));
}

// Fills `scan` and, when every term occurs, hands the results to `sink`.
inline void referenceScan(const std::string& path, std::string_view bytes, const TermTable& terms,
                          const SearchRequest& request, ReferenceScan& scan, ResultSink& sink) {
    auto add = [](IntVector& list, int32_t value) { static_cast<void>(list.push(value)); };
    // A term's lines are stored once each, however often it occurs on one.
    auto addLine = [&](IntVector& list, int32_t line) {
        if (list.size() == 0 || list.get(list.size() - 1) != line) add(list, line);
    };
    for (size_t at = 0; request.options.searchFileNames && at < path.size(); ++at)
        for (int32_t t = 0; t < terms.count(); ++t)
            if (occursAt(terms, path, at, terms.term(t))) addLine(scan.termLines[t], 0);
    for (IntVector* table :
         {&scan.lineStarts, &scan.lineStarts, &scan.commentFlags, &scan.commentFlags})
        add(*table, 0);
    bool inComment = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if ((scan.binary = bytes[i] == '\0' && request.options.skipBinaryFiles)) return;
        if (i > 0 && bytes[i - 1] == '\n') {
            add(scan.lineStarts, static_cast<int32_t>(i));
            add(scan.commentFlags, inComment);
        }
        for (int32_t t = 0; t < terms.count(); ++t)
            if (occursAt(terms, bytes, i, terms.term(t)))
                addLine(scan.termLines[t], scan.lines() + 1);
        const char next = i + 1 < bytes.size() ? bytes[i + 1] : '\0';
        if (bytes[i] == (inComment ? '*' : '/') && next == (inComment ? '/' : '*'))
            inComment = !inComment;
    }
    add(scan.lineStarts, static_cast<int32_t>(bytes.size()));
    for (int32_t t = 0; t < terms.count(); ++t)
        if (scan.termLines[t].empty()) return;
    // Each candidate line once, scored on its first kMaxLineText bytes; with none, the file alone.
    const ReferenceInput input{terms, scan.termLines.data(),
                               matchesExtensionList(path, request.highlightList), request.options};
    std::vector<bool> scored(scan.lineStarts.size());
    for (int32_t t = 0; t < terms.count(); ++t) {
        for (int32_t j = 0; j < scan.termLines[t].size(); ++j) {
            const int32_t line = scan.termLines[t].get(j);
            if (line == 0 || scored[line]) continue;
            scored[line] = true;
            ++scan.matches;
            const int32_t begin = scan.lineStarts.get(line);
            const std::string_view whole =
                bytes.substr(begin, scan.lineStarts.get(line + 1) - begin);
            const std::string text(whole.substr(0, kMaxLineText));
            // Where the first non-empty term begins, 1-based; it may end on a later line.
            int32_t column = 0;
            for (size_t at = 0; column == 0 && at < whole.size(); ++at)
                for (int32_t t = 0; column == 0 && t < terms.count(); ++t)
                    if (terms.term(t).length > 0 &&
                        occursAt(terms, bytes, begin + at, terms.term(t)))
                        column = static_cast<int32_t>(at) + 1;
            sink.addResult(referenceScore(input, line, scan.commentFlags.get(line), text.c_str()),
                           path.c_str(), line, lineExcerpt(whole, terms).text, column);
        }
    }
    if (scan.matches == 0) sink.addResult(-1, path.c_str(), 0, "");
}

}  // namespace tarvo::testing
