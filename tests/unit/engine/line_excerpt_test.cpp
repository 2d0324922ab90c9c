// A long line's kept text: around its first term when that lies beyond the bytes scoring reads.
#include "engine/line_excerpt.h"
#include <gtest/gtest.h>
#include "engine/line_scoring.h"
#include "engine/term_table.h"
#include "support/repeated.h"

namespace tarvo {

// Each row: a line, the terms, where the kept text starts and how long it is (the mark included).
TEST(LineExcerpt, KeptAroundAFarFirstTerm) {
    const std::string a200(200, 'a'), cjk70 = testing::repeated(70, "\xe6\x97\xa5");
    const std::string cjkTail = a200 + "needle!" + testing::repeated(100, "\xe6\x97\xa5");
    std::string huge(1000000, 'x');
    huge.replace(500000, 6, "NEEDLE");
    const std::tuple<std::string, const char*, int64_t, size_t> rows[] = {
        {"int needle;\n", "needle", 0, 12},                   // short: whole
        {"x" + a200 + "needle", "needle x", 0, 150},          // the first term is within the start
        {a200.substr(0, 147) + "needle", "needle", 117, 39},  // ends past byte 150
        {a200.substr(0, 144) + "needle" + a200, "needle", 0, 150},  // ends on byte 150
        {a200.substr(0, 145) + "needle" + a200, "needle", 115, 150},
        {a200 + "needle" + a200, "zebra needle", 170, 150},  // any term; the leftmost counts
        {a200 + "needle" + a200 + "zebra", "zebra needle", 170, 150},
        {huge, "needle", 499970, 150},                 // a megabyte line, letter case folded
        {cjk70 + "ab" + "needle", "needle", 183, 38},  // starts on a character
        {cjkTail, "needle", 170, 148},                 // and ends before a cut one
        {a200.substr(0, 145) + "needle" + a200, "needle need", 115, 150},  // the first term's end
        {a200.substr(0, 145) + "needle" + a200, "need needle", 0, 150},  // decides, not the longest
        {a200 + "needle", "", 0, 150},             // no term to bring into view
        {a200 + "needle", "\"\" zebra", 0, 150}};  // the term is not on the line
    for (const auto& [line, find, start, size] : rows) {
        SCOPED_TRACE(::testing::Message() << find << " in " << line.substr(0, 60));
        TermTable terms;
        terms.parseTerms(find);
        const LineExcerpt excerpt = lineExcerpt(line, terms);
        EXPECT_EQ(std::make_pair(excerpt.start, excerpt.text.size()), std::make_pair(start, size));
        EXPECT_LE(excerpt.text.size(), static_cast<size_t>(kMaxLineText));
        const std::string kept = start > 0 ? std::string(kExcerptMark) : std::string();
        EXPECT_EQ(excerpt.text, kept + line.substr(start, size - kept.size()));
    }
}

}  // namespace tarvo
