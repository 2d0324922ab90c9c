// The read window at small and odd sizes: its stretches see every byte once and in order, and
// its lines' texts come from the window or are read again.
#include "engine/read_window.h"
#include <gtest/gtest.h>
#include "support/temp_tree.h"

namespace tarvo {
namespace {

TEST(ReadWindow, StretchesCoverTheFileOnceAndLinesReadBack) {
    const std::string lines =
        "ab\ncdefgh\n\nijklmnopqrstu\nv\n";  // lines of 3, 7, 1, 14 and 2 bytes
    const std::tuple<int32_t, int32_t, int32_t, std::string> rows[] = {
        {10, 7, 5, ""},          {10, 7, 5, "x"},           {10, 7, 5, "\n"}, {10, 7, 5, lines},
        {10, 7, 9, lines + "w"}, {11, 3, 4, lines + lines}, {7, 4, 6, lines}, {27, 24, 26, lines},
        {28, 24, 13, lines},     {13, 5, 7, "\n\n\n\n\n"}};
    testing::TempTree tree;
    for (const auto& [size, moveAt, move, text] : rows) {
        SCOPED_TRACE(::testing::Message()
                     << size << " " << moveAt << " " << move << " over " << text.size());
        ScanFileReader file;
        ASSERT_TRUE(file.open(tree.write("f", text).c_str()));
        ReadWindow window(size, moveAt, move, 0);
        window.readStart(file);
        std::string seen, texts;
        int64_t lineFeeds = 0, lineStart = 0, lines = 1;
        for (int32_t p = 0;;) {
            const int32_t stop = window.stretchEnd(p);
            ASSERT_EQ(window.shift() + p, static_cast<int64_t>(seen.size()));
            ASSERT_LE(stop - p, window.stretch());
            for (; p < stop; ++p) {
                seen += window.bytes()[p];
                if (window.bytes()[p] != '\n') continue;
                ++lineFeeds;
                int32_t length = 0;  // read again once the line's start has left the window
                texts += window.lineText(file, lineStart, window.shift() + p + 1, &length);
                EXPECT_EQ(length, window.shift() + p + 1 - lineStart);
                if (!window.lineBeginsAfter(p)) continue;
                lineStart = window.shift() + p + 1;
                ++lines;
            }
            if (window.endsAt(stop)) break;
            p = window.next(file, stop);
        }
        EXPECT_EQ(seen, text);
        EXPECT_EQ(texts, text.substr(0, text.rfind('\n') + 1));
        EXPECT_EQ(window.fileEnd(), static_cast<int64_t>(text.size()));
        const int64_t expected =
            text.empty() ? 1 : std::count(text.begin(), text.end() - 1, '\n') + 1;
        EXPECT_EQ(lines, expected);
        EXPECT_EQ(window.linesOf(lineFeeds), expected);
        std::string storage;  // the file's start, the window having moved on from it
        if (const size_t first = text.find('\n') + 1; first > 0) {
            EXPECT_EQ(window.longLine(file, 0, first, storage), text.substr(0, first));
        }
    }
}

}  // namespace
}  // namespace tarvo
