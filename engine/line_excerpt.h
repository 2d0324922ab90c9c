// The text a result keeps of its line. A line of at most kMaxLineText bytes
// is kept whole; of a longer one the first kMaxLineText bytes are kept, as
// scoring reads them, unless the line's first term lies beyond them: then
// the kept text is taken around that term, so the list can show it, with
// "…" in front saying the line starts earlier. Scoring is not affected: it
// reads the line's first bytes whatever is kept.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/term_table.h"

namespace tarvo {

// Bytes of the line kept in front of a far term, so it is read in context.
inline constexpr int32_t kExcerptLead = 30;

// What stands in front of a kept text that begins inside its line (U+2026,
// "…", in UTF-8).
inline constexpr std::string_view kExcerptMark = "\xE2\x80\xA6";

struct LineExcerpt {
    int64_t start = 0;  // where the kept bytes begin in the line; 0: its start
    std::string text;   // at most kMaxLineText bytes; kExcerptMark first when start > 0
};

// The excerpt of `line` (its bytes, the line break included or not) for
// the terms: the first kMaxLineText bytes when the line's first occurrence
// of a term (the leftmost, of any non-empty term, letter case folded as in
// matching) ends within them or there is none; otherwise kExcerptMark and
// the line from kExcerptLead bytes before that occurrence. An excerpt
// begins and ends on UTF-8 character boundaries.
LineExcerpt lineExcerpt(std::string_view line, const TermTable& terms);

}  // namespace tarvo
