#include "cli/whole_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace tarvo {
namespace {

// The spans against the file read three bytes at a time, so line feeds and
// CR LF pairs fall on every side of a read's end.
TEST(WholeLines, SpansOfTheWantedLinesInOneSequentialRead) {
    const std::string file = "ab\n\ncd\r\nlast";
    struct Case {
        const char* label;
        std::string file;
        std::vector<int32_t> lines;
        std::vector<std::pair<int64_t, int64_t>> spans;
    } cases[] = {
        {"line end included; the last line has none", file, {1, 3, 4}, {{0, 3}, {4, 8}, {8, 12}}},
        {"an empty line", file, {2}, {{3, 4}}},
        {"past the end", file, {4, 5}, {{8, 12}, {-1, -1}}},
        {"a final line feed begins no line", "a\n", {1, 2}, {{0, 2}, {-1, -1}}},
        {"an empty file", "", {1}, {{-1, -1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        size_t at = 0;
        const ReadFunction read = [&](char* buffer, int32_t bytes) {
            const size_t n = std::min<size_t>({3, static_cast<size_t>(bytes), c.file.size() - at});
            std::memcpy(buffer, c.file.data() + at, n);
            at += n;
            return static_cast<int32_t>(n);
        };
        std::vector<std::pair<int64_t, int64_t>> spans;
        for (const LineSpan& span : findLineSpans(read, c.lines))
            spans.emplace_back(span.begin, span.end);
        EXPECT_EQ(spans, c.spans);
    }

    SCOPED_TRACE("only a full stored text without a line feed is cut");
    EXPECT_TRUE(isCutText(std::string(150, 'x')));
    EXPECT_FALSE(isCutText(std::string(149, 'x') + "\n"));
    EXPECT_FALSE(isCutText(std::string(149, 'x')));
}

}  // namespace
}  // namespace tarvo
