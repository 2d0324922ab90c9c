#include "engine/line_excerpt.h"

#include <algorithm>

#include "engine/line_scoring.h"

namespace tarvo {

namespace {

// The second to fourth bytes of a UTF-8 sequence. Stepping over at most
// three of them finds a character's start; in text that is not UTF-8 the
// step is at most three bytes, which is harmless.
constexpr int kMaxContinuationBytes = 3;

bool isContinuation(char c) {
    return (static_cast<uint8_t>(c) & 0xC0) == 0x80;
}

// The leftmost occurrence of any non-empty term: its start and end, or
// start -1.
struct Occurrence {
    int64_t start = -1;
    int64_t end = -1;
};

Occurrence firstOccurrence(std::string_view line, const TermTable& terms) {
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    for (const char* at = begin; at < end; ++at) {
        if (!terms.isFirstChar(static_cast<uint8_t>(*at))) continue;
        for (int32_t t = 0; t < terms.count(); ++t) {
            const int32_t length = terms.term(t).length;
            if (length > 0 && terms.termMatchAt(at, end, t))
                return {at - begin, at - begin + length};
        }
    }
    return {};
}

}  // namespace

LineExcerpt lineExcerpt(std::string_view line, const TermTable& terms) {
    const Occurrence first = firstOccurrence(line, terms);
    if (first.start < 0 || first.end <= kMaxLineText)
        return {0, std::string(line.substr(0, kMaxLineText))};

    int64_t start = first.start - kExcerptLead;
    for (int i = 0; i < kMaxContinuationBytes && isContinuation(line[start]); ++i)
        ++start;
    const int64_t room = kMaxLineText - static_cast<int64_t>(kExcerptMark.size());
    int64_t stop = std::min<int64_t>(start + room, line.size());
    // A character cut at the end is left out whole.
    for (int i = 0; i < kMaxContinuationBytes && stop < static_cast<int64_t>(line.size()) &&
                    isContinuation(line[stop]);
         ++i)
        --stop;
    LineExcerpt excerpt{start, std::string(kExcerptMark)};
    excerpt.text.append(line.substr(start, stop - start));
    return excerpt;
}

}  // namespace tarvo
