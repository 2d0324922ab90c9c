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

// The walk notes the leftmost start among the terms ending at each byte; no
// term ending more than kMaxTermLength - 1 bytes after a start can begin
// before it. At that start the lowest-indexed term decides the end.
Occurrence firstOccurrence(std::string_view line, const TermTable& terms) {
    const TermAutomaton& automaton = terms.automaton();
    const char* const text = line.data();
    const int64_t length = static_cast<int64_t>(line.size());
    int64_t start = -1;
    int32_t state = TermAutomaton::kRoot;
    for (int64_t at = 0; at < length && (start < 0 || at < start + kMaxTermLength - 1); ++at) {
        state = automaton.step(state, static_cast<uint8_t>(text[at]));
        if (!automaton.ends(state)) continue;
        const int32_t longest = automaton.ending(state).longest;
        if (longest > 0 && (start < 0 || at + 1 - longest < start)) start = at + 1 - longest;
    }
    if (start < 0) return {};
    const int32_t term = automaton.firstTermAt(text + start, text + length);
    return {start, start + terms.term(term).length};
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
